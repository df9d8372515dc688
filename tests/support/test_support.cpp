#include "tests/support/test_support.h"

#include "platform/com.h"
#include "platform/error.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstring>

namespace test {

TempFolder::TempFolder() {
  char base[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  static unsigned counter = 0;
  for (;;) {
    path_ = std::string(base) + "qst" + std::to_string(GetCurrentProcessId()) + "_" +
            std::to_string(++counter);
    if (CreateDirectoryA(path_.c_str(), nullptr)) return;
    if (GetLastError() != ERROR_ALREADY_EXISTS) {
      ADD_FAILURE() << "cannot create " << path_ << ", error " << GetLastError();
      return;
    }
  }
}

TempFolder::~TempFolder() {
  DeleteTree(path_);
}

CurrentFolder::CurrentFolder(const std::string& folder, std::source_location at) {
  GetCurrentDirectoryA(MAX_PATH, previous_);
  if (!SetCurrentDirectoryA(folder.c_str())) {
    ADD_FAILURE_AT(at.file_name(), static_cast<int>(at.line()))
        << "cannot enter " << folder << ", error " << GetLastError();
  }
}

CurrentFolder::~CurrentFolder() {
  SetCurrentDirectoryA(previous_);
}

void DeleteTree(const std::string& folder) {
  WIN32_FIND_DATAA entry;
  platform::UniqueFind find(FindFirstFileA((folder + "\\*").c_str(), &entry));
  if (find) {
    do {
      const std::string name = entry.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = folder + "\\" + name;
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        DeleteTree(path);
      } else {
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(find.get(), &entry));
  }
  find.reset();
  RemoveDirectoryA(folder.c_str());
}

// CTest runs the cases of one program as processes side by side: each
// process gets a key of its own.
std::string ScratchKey::PathOf(const std::string& name) {
  return "Software\\QuorvelleSetupTests\\" + name + "-" + std::to_string(GetCurrentProcessId());
}

ScratchKey::ScratchKey(const std::string& name) : path_(PathOf(name)) {
  SHDeleteKeyA(HKEY_CURRENT_USER, path_.c_str());
}

ScratchKey::~ScratchKey() {
  SHDeleteKeyA(HKEY_CURRENT_USER, path_.c_str());
}

void ScratchKey::SetValue(const std::string& subkey, const char* name, DWORD type, const void* data,
                          DWORD size) const {
  const std::string full = subkey.empty() ? path_ : path_ + "\\" + subkey;
  platform::UniqueKey key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, full.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            key.put(), nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key.get(), name, 0, type, static_cast<const BYTE*>(data), size),
            ERROR_SUCCESS);
}

void ScratchKey::SetText(const std::string& subkey, const char* name, const std::string& text,
                         DWORD type) const {
  SetValue(subkey, name, type, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

bool ReplaceByVolatileKey(HKEY root, const std::string& path) {
  const LSTATUS deleted = SHDeleteKeyA(root, path.c_str());
  if (deleted != ERROR_SUCCESS && deleted != ERROR_FILE_NOT_FOUND) return false;
  platform::UniqueKey key;
  return RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                         nullptr, key.put(), nullptr) == ERROR_SUCCESS;
}

std::string HostPath(const std::string& unixPath) {
  std::string path = "Z:" + unixPath;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

platform::UniqueModule LoadDataModule(const std::string& path, std::source_location at) {
  platform::UniqueModule module(LoadLibraryExA(
      path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
  if (!module) {
    ADD_FAILURE_AT(at.file_name(), static_cast<int>(at.line()))
        << "cannot load " << path << ", error " << GetLastError();
  }
  return module;
}

std::string RaisedText(const std::function<void()>& action) {
  try {
    action();
  } catch (const platform::SetupError& error) {
    return error.text();
  }
  return "(nothing raised)";
}

SavedLink ReadLink(const std::wstring& linkPath) {
  SavedLink saved;
  platform::ComPtr<IShellLinkA> link;
  platform::ComPtr<IPersistFile> file;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              link.put_void())) ||
      FAILED(link->QueryInterface(IID_IPersistFile, file.put_void())) ||
      FAILED(file->Load(linkPath.c_str(), STGM_READ))) {
    return saved;
  }
  saved.loaded = true;
  char text[MAX_PATH];
  const auto read = [&](HRESULT result) { return result == S_OK ? std::string(text) : "(failed)"; };
  saved.path = read(link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH));
  saved.workingFolder = read(link->GetWorkingDirectory(text, MAX_PATH));
  saved.arguments = read(link->GetArguments(text, MAX_PATH));
  saved.description = read(link->GetDescription(text, MAX_PATH));
  saved.iconPath = read(link->GetIconLocation(text, MAX_PATH, &saved.iconIndex));
  return saved;
}

std::vector<std::string> ProfileSection(const std::string& profile, const char* section) {
  char buffer[4096] = {};
  GetPrivateProfileSectionA(section, buffer, sizeof buffer, profile.c_str());
  std::vector<std::string> values;
  for (const char* entry = buffer; *entry; entry += strlen(entry) + 1) values.push_back(entry);
  return values;
}

std::string ReadFile(const std::string& path) {
  platform::UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    ADD_FAILURE() << "cannot open " << path << ", error " << GetLastError();
    return {};
  }
  std::string bytes(GetFileSize(file.get(), nullptr), '\0');
  DWORD read = 0;
  if (!bytes.empty())
    ::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  bytes.resize(read);
  return bytes;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  platform::UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(file) << "cannot create " << path << ", error " << GetLastError();
  DWORD written = 0;
  ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  ASSERT_EQ(written, bytes.size());
}

RecordingShell::RecordingShell() : previous_(platform::SetShellServices(this)) {}

RecordingShell::~RecordingShell() {
  platform::SetShellServices(previous_);
}

void RecordingShell::OpenDocument(HWND owner, const std::string& file, const std::string& folder,
                                  int showCommand) {
  opened.push_back({owner, file, folder, showCommand});
}

bool RecordingShell::OpenDocumentsAsUser(const std::vector<std::string>& files,
                                         const std::string& folder, int showCommand) {
  if (!desktopShellReached) return false;
  for (const std::string& file : files) opened.push_back({nullptr, file, folder, showCommand});
  return true;
}

void RecordingShell::NotifyFolderChanged(const std::string& folder) {
  notified.push_back(folder);
}

HRESULT RecordingShell::CreateObject(REFCLSID classId, IUnknown** object) {
  if (FAILED(createFailure)) return createFailure;
  return platform::SystemShell().CreateObject(classId, object);
}

}  // namespace test
