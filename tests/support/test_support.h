// Helpers for the test programs: temporary folders, scratch registry keys,
// whole-file reads, modules loaded as data, links read back, raised texts and
// a shell that records what it was asked.
#pragma once

#include "platform/shell.h"
#include "platform/unique_resource.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <source_location>
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

// The process's current folder moved to `folder` for this object's lifetime:
// a test that stops early leaves no folder held as current.
class CurrentFolder {
 public:
  explicit CurrentFolder(const std::string& folder,
                         std::source_location at = std::source_location::current());
  ~CurrentFolder();
  CurrentFolder(const CurrentFolder&) = delete;
  CurrentFolder& operator=(const CurrentFolder&) = delete;

 private:
  char previous_[MAX_PATH] = "";
};

// HKEY_CURRENT_USER\Software\QuorvelleSetupTests\<name>-<process id>,
// deleted before use and afterwards, so each test starts from an empty key.
class ScratchKey {
 public:
  explicit ScratchKey(const std::string& name);
  ~ScratchKey();
  ScratchKey(const ScratchKey&) = delete;
  ScratchKey& operator=(const ScratchKey&) = delete;

  // The path a key of that name has in this process.
  static std::string PathOf(const std::string& name);
  const std::string& path() const { return path_; }
  HKEY root() const { return HKEY_CURRENT_USER; }
  void SetValue(const std::string& subkey, const char* name, DWORD type, const void* data,
                DWORD size) const;
  void SetText(const std::string& subkey, const char* name, const std::string& text,
               DWORD type = REG_SZ) const;

 private:
  std::string path_;
};

// Replaces root\path, subkeys and all, by an empty volatile key: the system
// refuses a lasting key below it as it refuses a user without rights to the
// machine's keys. False when the key could not be replaced.
bool ReplaceByVolatileKey(HKEY root, const std::string& path);

// A host path as the Wine programs see it (drive Z: is the host's root).
std::string HostPath(const std::string& unixPath);
// A program or resource-only module mapped for its resources only; a module
// that cannot be loaded fails the test at the caller's line.
platform::UniqueModule LoadDataModule(const std::string& path,
                                      std::source_location at = std::source_location::current());

// The text of the error `action` raised; "(nothing raised)" when none.
std::string RaisedText(const std::function<void()>& action);

// What a saved shell link holds, read back through the shell-link object. A
// field the object does not give, and every field of a link that cannot be
// loaded, is "(failed)".
struct SavedLink {
  bool loaded = false;
  std::string path = "(failed)", workingFolder = path, arguments = path, description = path,
              iconPath = path;
  int iconIndex = -1;
};
SavedLink ReadLink(const std::wstring& linkPath);

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
