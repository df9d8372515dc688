// Helpers for the test programs: temporary folders, scratch registry keys,
// whole-file reads and a shell that records what it was asked.
#pragma once

#include "platform/shell.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace test {

// A fresh folder under the temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }  // no trailing backslash
  std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

// HKEY_CURRENT_USER\Software\QuorvelleSetupTests\<name>-<process id>,
// deleted before use and afterwards, so each test starts from an empty key.
class ScratchKey {
 public:
  explicit ScratchKey(const std::string& name);
  ~ScratchKey();
  ScratchKey(const ScratchKey&) = delete;
  ScratchKey& operator=(const ScratchKey&) = delete;

  const std::string& path() const { return path_; }
  HKEY root() const { return HKEY_CURRENT_USER; }
  void SetValue(const std::string& subkey, const char* name, DWORD type, const void* data,
                DWORD size) const;
  void SetText(const std::string& subkey, const char* name, const std::string& text,
               DWORD type = REG_SZ) const;

 private:
  std::string path_;
};

void DeleteTree(const std::string& folder);
// The values of a profile section, in file order.
std::vector<std::string> ProfileSection(const std::string& profile, const char* section);
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);

// Records documents opened and folders announced; creates objects through
// the system unless a failure code is set. Installed for its lifetime.
class RecordingShell : public platform::ShellServices {
 public:
  struct Opened {
    HWND owner;
    std::string file;
    std::string folder;
    int showCommand;
  };

  RecordingShell();
  ~RecordingShell() override;

  void OpenDocument(HWND owner, const std::string& file, const std::string& folder,
                    int showCommand) override;
  bool OpenDocumentsAsUser(const std::vector<std::string>& files, const std::string& folder,
                           int showCommand) override;
  void NotifyFolderChanged(const std::string& folder) override;
  HRESULT CreateObject(REFCLSID classId, IUnknown** object) override;

  std::vector<Opened> opened;       // as the user: no owner
  bool desktopShellReached = true;  // false: OpenDocumentsAsUser opens none
  std::vector<std::string> notified;
  HRESULT createFailure = S_OK;  // returned instead of creating, when set

 private:
  platform::ShellServices* previous_;
};

}  // namespace test
