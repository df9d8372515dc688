#include "install/destination_folder.h"

#include "platform/known_folders.h"
#include "platform/registry.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "product/product_definition.h"
#include "uninstaller/installation_files.h"

#include <shlobj.h>

#include <vector>

namespace install {

namespace {

constexpr const char* kNtCurrentVersion = "Software\\Microsoft\\Windows NT\\CurrentVersion";
constexpr const char* kCurrentVersion = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kFixedProgramFiles = "%SystemDrive%\\Program Files";

bool IsNtFamily() {
  OSVERSIONINFOA version{sizeof version};
  return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// Two calls: the first asks for the size (NUL included), the second expands.
std::string ExpandEnvironment(const std::string& text) {
  const DWORD size = ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
  if (size == 0) return {};
  std::vector<char> expanded(size + 1, '\0');
  // The text up to its first NUL is the result whatever the second call says.
  ExpandEnvironmentStringsA(text.c_str(), expanded.data(), size);
  return expanded.data();
}

}  // namespace

std::optional<std::string> ReadProgramFilesValue(const std::string& key, HKEY root) {
  const platform::UniqueKey opened = platform::OpenKey(root, key, KEY_READ);
  if (!opened) return std::nullopt;
  if (auto value = platform::QueryTextValue(opened.get(), "ProgramFilesDir")) return value;
  return platform::QueryTextValue(opened.get(), "ProgramFilesPath");
}

std::string GetProgramFilesDir(HKEY root) {
  std::optional<std::string> folder;
  if (IsNtFamily()) folder = ReadProgramFilesValue(kNtCurrentVersion, root);
  if (!folder) folder = ReadProgramFilesValue(kCurrentVersion, root);
  if (!folder) folder = kFixedProgramFiles;
  return ExpandEnvironment(*folder);
}

std::optional<std::string> RegisteredInstallFolder(HKEY root) {
  const std::string registered = uninstaller::RegisteredFolder(root);
  if (registered.empty()) return std::nullopt;
  return platform::WithoutTrailingBackslash(registered);
}

std::string DefaultDestinationFolder(HKEY root) {
  if (std::optional<std::string> registered = RegisteredInstallFolder(root)) return *registered;
  return ProductFolderIn(GetProgramFilesDir(root));
}

// Held by its ANSI spelling, the one install.log can name; a profile no
// spelling names is shown as the code page gives it, and the installation
// into it is refused for its characters.
std::string UserProgramFilesDir() {
  std::wstring folder = platform::KnownFolderPathWide(FOLDERID_UserProgramFiles);
  if (folder.empty()) {
    const std::wstring localData = platform::KnownFolderPathWide(CSIDL_LOCAL_APPDATA);
    if (localData.empty()) return {};
    folder = localData + (localData.back() == L'\\' ? L"" : L"\\") + L"Programs";
  }
  const std::string spelled = platform::AnsiSpelling(folder);
  return spelled.empty() ? platform::WideToAnsi(folder) : spelled;
}

std::string DefaultDestinationFolder(Scope scope) {
  if (scope == Scope::Machine) return DefaultDestinationFolder(HKEY_LOCAL_MACHINE);
  if (std::optional<std::string> registered = RegisteredInstallFolder(HKEY_CURRENT_USER)) {
    return *registered;
  }
  return ProductFolderIn(UserProgramFilesDir());
}

std::string ProductFolderIn(const std::string& chosenPath) {
  return platform::FolderPrefix(chosenPath) + product::ShortName;
}

}  // namespace install
