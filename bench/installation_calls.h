// The system calls one installation with every shortcut option on makes,
// made the way it makes them, for the benchmarks that hold RunInstallation
// against them.
#pragma once

#include "platform/com.h"
#include "platform/registry.h"
#include "platform/security.h"
#include "platform/unique_resource.h"

#include <shlobj.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace bench {

// The user's "Shell Folders" key, as one path.
inline const std::string kShellFolders =
    std::string(platform::kExplorerKey) + "\\" + platform::kShellFoldersSubkey;

// A folder of the user's shell ("Desktop", "Programs": where the
// installation puts its links); the work folder when the system names none.
inline std::string ShellFolder(const char* name, const std::string& fallback) {
  platform::UniqueKey key;
  char text[MAX_PATH] = {};
  DWORD size = sizeof text - 1;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders.c_str(), 0, KEY_READ, key.put()) !=
          ERROR_SUCCESS ||
      RegQueryValueExA(key.get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size) !=
          ERROR_SUCCESS) {
    return fallback;
  }
  return text;
}

// A link saved the way the installation saves one, its folder looked for
// first; `folder` is also its working folder.
inline void SaveLink(const std::string& folder, const std::string& target,
                     const std::string& path) {
  platform::ComPtr<IUnknown> object;
  platform::ComPtr<IShellLinkA> link;
  platform::ComPtr<IPersistFile> file;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                              IID_IUnknown, reinterpret_cast<void**>(object.put()))) ||
      FAILED(object->QueryInterface(IID_IShellLinkA, link.put_void())) ||
      FAILED(object->QueryInterface(IID_IPersistFile, file.put_void()))) {
    std::exit(3);
  }
  link->SetArguments("");
  link->SetPath(target.c_str());
  link->SetWorkingDirectory(folder.c_str());
  link->SetDescription("Benchmark");
  link->SetIconLocation(target.c_str(), 0);
  GetFileAttributesA(folder.c_str());
  if (FAILED(file->Save(std::wstring(path.begin(), path.end()).c_str(), FALSE))) std::exit(4);
}

inline std::string LinkName(const std::string& folder, int round) {
  return folder + "\\link" + std::to_string(round) + ".lnk";
}

// Created or truncated, written in chunks of at most 61,440 bytes, closed,
// then looked for, as each payload file is.
inline void WriteFileOfSize(const std::string& path, size_t size) {
  static std::vector<char> chunk(61440, 'x');
  {
    const platform::UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                                nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                                nullptr));
    if (!file) std::exit(6);
    for (size_t left = size; left > 0;) {
      const DWORD count = static_cast<DWORD>(std::min(left, chunk.size()));
      DWORD written = 0;
      if (!WriteFile(file.get(), chunk.data(), count, &written, nullptr)) std::exit(7);
      left -= count;
    }
  }
  GetFileAttributesA(path.c_str());
}

inline void WriteInternetShortcut(const std::string& path) {
  static const std::string text =
      "[DEFAULT]\r\nBASEURL=https://example.invalid/\r\n"
      "[InternetShortcut]\r\nURL=https://example.invalid/\r\n";
  const platform::UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                              nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                              nullptr));
  DWORD written = 0;
  WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

// One installation's system calls, in its order and with nothing of ours
// between them: the floor under RunInstallation, timed whole like it, since
// the median of a sequence of calls is not the sum of their medians.
// Each run makes a new destination under the work folder, a new folder in
// the Start menu and a link on the desktop, all named by `round`.
class InstallationCalls {
 public:
  InstallationCalls(const std::string& work, std::vector<size_t> payloadSizes, HKEY values)
      : work_(work),
        desktop_(ShellFolder("Desktop", work)),
        programs_(ShellFolder("Programs", work)),
        payloadSizes_(std::move(payloadSizes)),
        values_(values) {}

  void Run(int round) {
    destination_ =
        work_ + "\\replay" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(round);
    log_ = destination_ + "\\install.log";
    fileKey_ = folderKey_ = 1;
    GetFileAttributesA(destination_.c_str());
    CreateDestination();
    GetFileAttributesA(log_.c_str());
    for (const char* key : {"ShortName", "FullName", "Version"}) {
      WritePrivateProfileStringA("Application", key, "Value", log_.c_str());
    }
    for (size_t i = 0; i < payloadSizes_.size(); ++i) {
      const std::string path = destination_ + "\\payload" + std::to_string(i);
      WriteFileOfSize(path, payloadSizes_[i]);
      LogFile(path);
    }
    Shortcuts(round);
    Registration();
    for (int i = 0; i < 5; ++i) LogFile(destination_ + "\\runtime.ini");
    LogFolder(destination_);
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, log_.c_str());
  }

 private:
  // With administrator rights the installation gives the folder it makes a
  // protected access list, which every file made in it then inherits.
  void CreateDestination() {
    const platform::UniqueLocalMemory descriptor = platform::IsElevated()
                                                       ? platform::ProtectedFolderSecurity()
                                                       : platform::UniqueLocalMemory();
    SECURITY_ATTRIBUTES security{sizeof security, descriptor.get(), FALSE};
    CreateDirectoryA(destination_.c_str(), descriptor ? &security : nullptr);
  }
  void Log(const char* section, int& key, const std::string& value) {
    WritePrivateProfileStringA(section, std::to_string(key++).c_str(), value.c_str(), log_.c_str());
  }
  void LogFile(const std::string& path) { Log("Files", fileKey_, path); }
  void LogFolder(const std::string& path) { Log("Folders", folderKey_, path); }
  void Link(const std::string& folder, const std::string& path) {
    SaveLink(destination_, destination_ + "\\payload0", path);
    LogFile(path);
    SHChangeNotify(SHCNE_MKDIR, SHCNF_PATHA, folder.c_str(), nullptr);
  }
  void Shortcuts(int round) {
    platform::UniqueKey explorer;
    RegCreateKeyExA(HKEY_CURRENT_USER, kShellFolders.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                    nullptr, explorer.put(), nullptr);
    ShellFolder("Desktop", work_);
    Link(desktop_, LinkName(desktop_, round));
    ShellFolder("Programs", work_);
    const std::string startMenu = programs_ + "\\SetupReplay" + std::to_string(round);
    CreateDirectoryA(startMenu.c_str(), nullptr);
    LogFolder(startMenu);
    Link(startMenu, startMenu + "\\program.lnk");
    Link(startMenu, startMenu + "\\help.lnk");
    for (const char* page : {"\\publisher.url", "\\product.url"}) {
      WriteInternetShortcut(startMenu + page);
      LogFile(startMenu + page);
      SHChangeNotify(SHCNE_MKDIR, SHCNF_PATHA, startMenu.c_str(), nullptr);
    }
  }
  void Registration() {
    platform::UniqueKey key;
    RegCreateKeyExA(values_, "Uninstall", 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                    key.put(), nullptr);
    for (int i = 0; i < 16; ++i) {
      const std::string name = "Value" + std::to_string(i);
      RegSetValueExA(key.get(), name.c_str(), 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(destination_.c_str()),
                     static_cast<DWORD>(destination_.size() + 1));
    }
  }

  std::string work_, desktop_, programs_, destination_, log_;
  std::vector<size_t> payloadSizes_;
  HKEY values_;
  int fileKey_ = 1, folderKey_ = 1;
};

}  // namespace bench
