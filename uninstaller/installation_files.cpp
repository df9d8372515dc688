// Paths are compared in the one form the installation writes them in (see
// folder_path.h), with short 8.3 names spelled out and letter case ignored. A junction or symbolic
// link is never resolved, so a path through one never equals a path without it.
#include "uninstaller/installation_files.h"

#include "platform/folder_path.h"
#include "platform/known_folders.h"
#include "platform/registry.h"
#include "platform/security.h"
#include "platform/text.h"
#include "product/product_definition.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>

namespace uninstaller {
namespace {

// "X:\..." or "\\server\share\...", the forms a destination folder takes.
// Device and namespace paths ("\\?\", "\\.\") bypass the system's own
// resolution of the path, and the installation never writes one.
bool IsDriveOrSharePath(const std::wstring& path) {
  if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') return true;
  return path.size() > 2 && path[0] == L'\\' && path[1] == L'\\' && path[2] != L'?' &&
         path[2] != L'.';
}

// The path in the one form the installation writes (see folder_path.h), no
// trailing backslash but a drive root's; empty when it is not a full path of
// the forms above or no file could be made under that name.
std::wstring FullPath(const std::string& path) {
  std::wstring wide = platform::AnsiToWide(path);
  std::replace(wide.begin(), wide.end(), L'/', L'\\');
  if (!IsDriveOrSharePath(wide)) return {};
  std::wstring full = platform::AnsiToWide(platform::ResolvedFolder(path));
  if (full.size() > 3) full.pop_back();
  return full;
}

// The full path with short names spelled out as far as the path exists.
std::wstring LongPath(const std::wstring& full) {
  std::wstring spelled(full.size() + MAX_PATH, L'\0');
  const DWORD length =
      GetLongPathNameW(full.c_str(), spelled.data(), static_cast<DWORD>(spelled.size()));
  if (length > 0 && length < spelled.size()) return spelled.substr(0, length);
  const size_t backslash = full.find_last_of(L'\\');
  if (backslash == std::wstring::npos || backslash < 3) return full;
  return LongPath(full.substr(0, backslash)) + full.substr(backslash);
}

// The folder part of a full path without its trailing backslash, except
// for a drive's root ("C:\"), which keeps it.
std::wstring FolderPart(const std::wstring& full) {
  const size_t backslash = full.find_last_of(L'\\');
  if (backslash == std::wstring::npos) return {};
  return full.substr(0, backslash == 2 ? 3 : backslash);
}

bool SameText(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// A "Shell Folders" value of the user; when it is missing, empty or not
// text, the system's own folder, as the installation takes it.
std::string ShellFolder(HKEY root, const std::string& explorerKey, const char* name, int csidl) {
  const platform::UniqueKey key =
      platform::OpenKey(root, explorerKey + "\\" + platform::kShellFoldersSubkey, KEY_READ);
  std::string folder = key ? platform::QueryTextValue(key.get(), name).value_or("") : "";
  return folder.empty() ? platform::KnownFolderPath(csidl) : folder;
}

}  // namespace

std::string PathInOneForm(const std::string& path) {
  const std::wstring full = FullPath(path);
  return full.empty() ? path : platform::WideToAnsi(full);
}

bool IsSamePath(const std::string& a, const std::string& b) {
  const std::wstring fullA = FullPath(a), fullB = FullPath(b);
  return !fullA.empty() && !fullB.empty() && SameText(LongPath(fullA), LongPath(fullB));
}

LinkFolders SystemLinkFolders(HKEY root, const std::string& explorerKey) {
  return {ShellFolder(root, explorerKey, "Desktop", CSIDL_DESKTOPDIRECTORY),
          ShellFolder(root, explorerKey, "Programs", CSIDL_PROGRAMS)};
}

InstallationLinks LinksIn(const LinkFolders& links) {
  const std::string shortName = product::ShortName;
  InstallationLinks made;
  if (!links.desktop.empty())
    made.desktopLink = platform::FolderPrefix(links.desktop) + shortName + ".lnk";
  const std::string startMenu = platform::FolderPrefix(links.programs + "\\" + shortName);
  // A Start-menu folder that leads elsewhere is not the one the installation made.
  if (!links.programs.empty() && !platform::IsLinkedFolder(startMenu)) {
    for (const std::string& name :
         {shortName + ".lnk", std::string("Quick help.lnk"),
          std::string(product::PublisherPageName) + ".url", shortName + " web page.url"}) {
      made.startMenu.push_back(startMenu + name);
    }
  }
  return made;
}

InstallationFiles::InstallationFiles(const std::string& ownFolder, const LinkFolders& links)
    : ownFolder_(LongPath(FullPath(platform::WithoutTrailingBackslash(ownFolder)))),
      ownPrefix_(platform::FolderPrefix(ownFolder)) {
  InstallationLinks made = LinksIn(links);
  std::vector<std::string> paths = std::move(made.startMenu);
  if (!made.desktopLink.empty()) paths.insert(paths.begin(), std::move(made.desktopLink));
  for (std::string& path : paths) {
    const std::wstring full = FullPath(path);
    if (!full.empty()) links_.emplace_back(LongPath(full), std::move(path));
  }
}

std::string InstallationFiles::PathToRemove(const std::string& entry) const {
  const std::wstring full = FullPath(entry);
  if (full.empty() || ownFolder_.empty()) return {};
  const std::wstring spelled = LongPath(full);
  for (const auto& [link, path] : links_) {
    if (SameText(spelled, link)) return path;
  }
  const std::wstring name = full.substr(full.find_last_of(L'\\') + 1);
  // A name with a colon would reach a stream of the file, not the file.
  if (name.empty() || name.find(L':') != std::wstring::npos) return {};
  if (!SameText(LongPath(FolderPart(full)), ownFolder_)) return {};
  return ownPrefix_ + platform::WideToAnsi(name);
}

}  // namespace uninstaller
