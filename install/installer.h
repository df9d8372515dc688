// The installation engine: the state the wizard window owns for it and the
// operations that run after the user confirms the installation. It needs no
// window: what it asks of the wizard goes through InstallationHost, so tests
// run it alone.
#pragma once

#include "install/install_log.h"
#include "install/installation_check.h"
#include "install/install_scope.h"
#include "platform/registry.h"
#include "platform/security.h"
#include "product/product_definition.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace install {

// What became of one payload: written whole; its stream cut short before
// its end (no file); or stopped part-way at the host's request (the file
// removed if it could be).
enum class Extraction { Written, CutShort, Stopped };

// What the engine asks of the wizard while it runs.
class InstallationHost {
 public:
  virtual ~InstallationHost() = default;
  // The option check boxes, each read when the step that needs it is reached.
  virtual bool DeskIconChecked() = 0;
  virtual bool StartIconChecked() = 0;
  virtual bool RunProgramChecked() = 0;
  // The error dialog "Error decompressing file." (error kind, one OK button).
  virtual void ShowDecompressionError() = 0;
  // Owner of the documents opened after the installation.
  virtual HWND OwnerWindow() = 0;
  // Whether help.txt is opened at the end: the wizard always opens it; an
  // unattended installation opens nothing the administrator did not ask for.
  virtual bool OpenHelpText() { return true; }
  // Runs the writing of the payloads, which takes as long as the product is
  // large: here, on the installation's own thread; the wizard hands it to a
  // thread of its own and goes on reading its messages until it ends.
  // Whatever `payloads` raises comes out of this call.
  virtual Extraction RunPayloads(const std::function<Extraction()>& payloads) { return payloads(); }
  // How far the payloads are, in inflated bytes of `total`, told after each
  // chunk written, on the thread that writes them; false stops the
  // installation there. An unattended installation is never stopped.
  virtual bool PayloadProgress(unsigned long long done, unsigned long long total) {
    static_cast<void>(done), static_cast<void>(total);
    return true;
  }
};
// Told of each chunk an extraction wrote; false stops it there.
using ChunkObserver = std::function<bool(size_t written)>;

// What the installation made, as it is recorded: a file, link or folder once
// install.log lists it, a run-time file of the product once it is listed for
// removal, the uninstall entry once its key was written.
enum class Recorded { File, Link, Folder, Listed, RegistryKey };

// Whom the installation is for, and where the engine reads and writes the
// registry for it; tests point it at scratch keys.
struct RegistryLocations {
  HKEY shellFoldersRoot = HKEY_CURRENT_USER;
  std::string explorerKey = platform::kExplorerKey;
  HKEY uninstallRoot = HKEY_LOCAL_MACHINE;
  std::string uninstallKeyPath;  // UninstallKeyPath unless a test sets another
  Scope scope = Scope::Machine;
};

// The system's places for an installation of that scope.
RegistryLocations LocationsFor(Scope scope);

// The product's own uninstall key: kUninstallKeys + "\" + ShortName.
std::string UninstallKeyPath();

class Installer {
 public:
  // `payloadModule`: the module whose "BINARY" resources hold the payloads;
  // null means the program itself.
  // `isElevated`: whether the installation runs with administrator rights;
  // tests decide.
  explicit Installer(HMODULE payloadModule = nullptr, RegistryLocations registry = {},
                     std::function<bool()> isElevated = platform::IsElevated);

  // The destination with a trailing backslash; RunInstallation fixes it from
  // the folder's text, tests set it before BeginLog.
  const std::string& InstallDir() const noexcept { return installDir_; }
  Scope scope() const noexcept { return registry_.scope; }
  void SetInstallDir(std::string folder) { installDir_ = std::move(folder); }
  // The log writer: empty until the log is begun and after it is released.
  const std::optional<LogWriter>& InstallLog() const noexcept { return log_.writer(); }
  // The keys the next [Files] and [Folders] entries get.
  int NextFileIndex() const noexcept { return log_.nextFileIndex(); }
  int NextFolderIndex() const noexcept { return log_.nextFolderIndex(); }
  // Called once the destination was checked, just before it is made; tests
  // make it there meanwhile, as another program might.
  void SetBeforeMakingDestination(std::function<void()> hook) {
    beforeMakingDestination_ = std::move(hook);
  }
  // Told of each record as it is made, in order; the wizard sets none.
  void ReportRecordsTo(std::function<void(Recorded what, const std::string& path)> observer) {
    onRecorded_ = std::move(observer);
  }

  // Window shown: both log counters back to 1.
  void ResetLogCounters() noexcept { log_.ResetCounters(); }
  // Window closes: the log writer, if any, is released (flushed).
  void ReleaseLog() noexcept { log_.Release(); }

  // Deletes an old InstallDir + "install.log", creates the writer on it and
  // writes the [Application] header. What the old log recorded and is still
  // there is listed again right after it (see earlier_record.h), so that
  // the product stays removable whatever becomes of this installation.
  void BeginLog();
  // A file under [Files] or a folder under [Folders]; a value of no kind
  // writes nothing, nor does a path the log already lists from the earlier
  // installation. The counter advances only after its write succeeded.
  void AddLogEntry(LogEntryKind kind, const std::string& path);

  // Why an installation into `folderText` would stop part-way (a file it
  // must replace is in use or read-only, the drive has too little room),
  // as the user reads it; empty when nothing known stands in the way.
  // Looks only: nothing is made or changed.
  Obstacle InstallationObstacle(const std::string& folderText) const;
  // What the payload resource inflates to.
  unsigned long long PayloadSize(const std::string& resourceName) const;

  // Inflates one payload resource into `targetPath`; true when the stream
  // ended whole and the file then exists, false for a stream cut short.
  // Failures of the steps raise.
  bool ExtractPayload(const std::string& targetPath, const std::string& resourceName);

  void CreateShellLink(const std::string& WorkingFolder, const std::string& TargetPath,
                       const std::string& Arguments, const std::wstring& LinkPath,
                       const std::string& Description, const std::string& IconPath, int IconIndex);
  void CreateInternetShortcut(const std::string& Folder, const std::string& ShortcutName,
                              const std::string& Url, const std::string& IconFile, int IconIndex);
  void RegisterUninstall();

  // The whole installation into `folderText` (the destination folder's text).
  // An obstacle (see InstallationObstacle) raises before anything changes.
  bool RunInstallation(const std::string& folderText, InstallationHost& host);

 private:
  // `anew`: what stands at the target is deleted and the file made anew
  // (with administrator rights: never written through what a user put there).
  Extraction Extract(const std::string& targetPath, const std::string& resourceName,
                     const ChunkObserver& wrote, bool anew);
  // The steps of RunInstallation, in its order.
  Extraction InstallPayloads(InstallationHost& host);
  Extraction ExtractRows(const std::vector<const product::PayloadRow*>& rows,
                         unsigned long long total, bool anew, InstallationHost& host);
  void CreateShortcutsThenRegister(InstallationHost& host);
  void CreateShortcuts(InstallationHost& host);
  void CreateDesktopLink(const platform::ShellFolderReader& reader);
  std::optional<std::wstring> CreateStartMenuLinks(const platform::ShellFolderReader& reader);
  void LogProductFiles(bool folderCreated);
  void OpenInstalledDocuments(InstallationHost& host);
  // AddLogEntry, told to the observer as `what`.
  void Record(LogEntryKind kind, const std::string& path, Recorded what);

  HMODULE payloadModule_;
  RegistryLocations registry_;
  std::function<bool()> isElevated_;
  std::function<void(Recorded what, const std::string& path)> onRecorded_;
  std::function<void()> beforeMakingDestination_;
  // Engine state, owned here on behalf of the wizard window.
  std::string installDir_;
  InstallLogBook log_;  // InstallLog and its two counters
};

// True when `fileName` equals an entry of PreservedFiles, byte for byte.
bool IsPreservedFile(const std::string& fileName);
// The payload rows an installation into `installDir` extracts, in the
// table's order: a preserved file that is there is left alone.
std::vector<const product::PayloadRow*> PayloadRowsToExtract(const std::string& installDir);

}  // namespace install
