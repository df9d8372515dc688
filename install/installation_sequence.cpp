// The whole installation, in a fixed order: the install log's key numbers
// follow it, so every step below stays where it is.
#include "install/installer.h"

#include "install/destination_guard.h"
#include "install/earlier_record.h"
#include "platform/error.h"
#include "platform/paths.h"
#include "platform/known_folders.h"
#include "platform/registry.h"
#include "platform/security.h"
#include "platform/shell.h"
#include "platform/text.h"
#include "product/installation_table.h"
#include "product/product_definition.h"

#include <shlobj.h>

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace install {
namespace {

// The names the installation gives the links and shortcut files it makes.
const product::InstallationNames kNames;

// Creates the folder and every missing parent level, each with its
// parent's access list. Whether it worked is not checked here: a folder that
// could not be made surfaces as the log error when the log is begun.
void CreateFolderTree(const std::string& path) {
  if (path.size() < 3 || path.back() == ':' || platform::DirectoryExists(path)) return;
  const size_t lastBackslash = platform::LastBackslash(path);
  CreateFolderTree(lastBackslash == std::string::npos ? std::string()
                                                      : path.substr(0, lastBackslash));
  CreateDirectoryA(path.c_str(), nullptr);
}

// The destination as typed may depend on the current folder or drive
// ("Apps\Quorvelle", "\Apps\Quorvelle", "D:Quorvelle") or be spelled in a way
// the system reads differently ("C:/Quorvelle", "C:\Quorvelle "): every path
// the installation records must name the folder the system makes, whole, or
// the product's uninstaller finds nothing to remove. A text no folder can be
// made under is refused with the log's own error before anything is made,
// naming the log where the text as typed would have put it.
std::string DestinationFolder(const std::string& folderText) {
  std::string folder = platform::ResolvedFolder(folderText);
  if (folder.empty()) {
    const std::string typed = platform::FolderPrefix(folderText);
    const std::string asTyped = platform::IsFullyQualified(typed)
                                    ? typed
                                    : platform::FolderPrefix(platform::FullPathName(typed));
    platform::Raise(platform::Format("Unable to write to %sinstall.log", asTyped.c_str()));
  }
  return folder;
}

// The top-most level of the destination that does not exist; empty when
// the destination does.
std::string TopMostMissingLevel(const std::string& folder) {
  for (const std::string& level : platform::Levels(folder)) {
    if (!platform::DirectoryExists(level)) return level;
  }
  return {};
}

// With administrator rights, a folder made for the machine outside the
// system's program folder would take its parent's access list, which under
// a drive's root lets every user change the programs: the top-most new level
// gets a protected list of its own, and the levels and files below inherit
// it. A user's own installation keeps its parent's list (the user's profile):
// the product writes into its folder, and its user removes it without rights.
// With administrator rights the top-most level must be made by this very
// call: one that another program made after the check would be used
// without the checks or the protected list.
void CreateDestination(const std::string& folder, const std::string& topMost, bool protect,
                       bool elevated) {
  const std::string path = platform::WithoutTrailingBackslash(folder);
  const platform::UniqueLocalMemory descriptor =
      protect ? platform::ProtectedFolderSecurity() : platform::UniqueLocalMemory();
  SECURITY_ATTRIBUTES security{sizeof security, descriptor.get(), FALSE};
  if (!CreateDirectoryA(topMost.c_str(), protect ? &security : nullptr)) {
    const DWORD error = GetLastError();
    // Any other failure surfaces as the log error when the log is begun.
    if (elevated && error == ERROR_ALREADY_EXISTS && platform::DirectoryExists(topMost)) {
      std::string refusal = DestinationRefusal(folder, ReadDestinationFacts(folder));
      if (refusal.empty()) {
        refusal = platform::Format(
            "Cannot install into %s: another program made it while it was being checked",
            path.c_str());
      }
      platform::Raise(refusal, platform::Win32Failure("CreateDirectoryA", error));
    }
  }
  CreateFolderTree(path);  // the levels below the top-most, inheriting its list
}

// A "Shell Folders" value; when it is missing or empty, the system's own
// folder, so that no link lands at the root of the current drive. Empty
// when neither knows the folder. Read in UTF-16, as a profile the code page
// does not spell keeps its name, and held by its ANSI spelling (the one
// install.log can name); empty too when there is none (refused earlier).
std::wstring WideShellFolder(std::wstring folder, int csidl) {
  return folder.empty() ? platform::KnownFolderPathWide(csidl) : folder;
}
std::string ShellFolder(const platform::ShellFolderReader& reader, const char* name, int csidl) {
  return platform::AnsiSpelling(WideShellFolder(reader.ReadWide(name), csidl));
}

// A link folder install.log cannot name would get links the uninstaller
// never finds: refused before anything is made. A value that is no text is
// left to its own error, at its own step.
void RefuseUnspelledLinkFolder(const RegistryLocations& registry, const char* name, int csidl) {
  const platform::UniqueKey key =
      platform::OpenKey(registry.shellFoldersRoot,
                        registry.explorerKey + "\\" + platform::kShellFoldersSubkey, KEY_READ);
  const std::optional<DWORD> type = key ? platform::QueryValueType(key.get(), name) : std::nullopt;
  if (type && *type != REG_SZ && *type != REG_EXPAND_SZ) {
    return;  // asking the system for its folder now would replace the value
  }
  const std::wstring folder = WideShellFolder(
      key ? platform::QueryWideTextValue(key.get(), name).value_or(L"") : L"", csidl);
  if (folder.empty() || !platform::AnsiSpelling(folder).empty()) return;
  platform::Raise(platform::Format(
      "The folder %s has a name that this system's code page cannot write into install.log, "
      "so nothing was installed. Ask an administrator to turn on short file names for its drive",
      platform::WideToAnsi(folder).c_str()));
}

}  // namespace

RegistryLocations LocationsFor(Scope scope) {
  RegistryLocations locations;
  locations.uninstallRoot = UninstallRoot(scope);
  locations.scope = scope;
  return locations;
}

Installer::Installer(HMODULE payloadModule, RegistryLocations registry,
                     std::function<bool()> isElevated)
    : payloadModule_(payloadModule ? payloadModule : GetModuleHandleA(nullptr)),
      registry_(std::move(registry)),
      isElevated_(std::move(isElevated)) {
  if (registry_.uninstallKeyPath.empty()) registry_.uninstallKeyPath = UninstallKeyPath();
}

bool IsPreservedFile(const std::string& fileName) {
  for (const char* preserved : product::PreservedFiles) {
    if (fileName == preserved) return true;
  }
  return false;
}

void Installer::BeginLog() {
  // The profile writer looks for a relative path in the Windows folder, so a
  // destination typed as a relative path would put its log there: the log is
  // always named by its absolute path, beside the files it lists.
  const std::string path = platform::FullPathName(installDir_ + "install.log");
  // The earlier record is read where the product's uninstaller will look
  // for links, before its log goes.
  const EarlierRecord earlier =
      platform::FileExists(path)
          ? ReadEarlierRecord(
                path, installDir_,
                uninstaller::SystemLinkFolders(registry_.shellFoldersRoot, registry_.explorerKey))
          : EarlierRecord{};
  log_.Begin(path, earlier);
}

void Installer::AddLogEntry(LogEntryKind kind, const std::string& path) {
  Record(kind, path, kind == LogEntryKind::Folder ? Recorded::Folder : Recorded::File);
}

void Installer::Record(LogEntryKind kind, const std::string& path, Recorded what) {
  if (kind != LogEntryKind::File && kind != LogEntryKind::Folder) return;
  log_.Add(kind, path);
  if (onRecorded_) onRecorded_(what, path);
}

std::vector<const product::PayloadRow*> PayloadRowsToExtract(const std::string& installDir) {
  std::vector<const product::PayloadRow*> rows;
  for (const product::PayloadRow& row : product::PayloadTable) {
    if (!(IsPreservedFile(row.fileName) && platform::FileExists(installDir + row.fileName))) {
      rows.push_back(&row);
    }
  }
  return rows;
}

// The payloads are written where the host runs them (the wizard: on a
// thread of its own), and nothing else of the installation happens
// meanwhile. A stop leaves every file made so far listed, so that the
// product's uninstaller removes them; the file it broke off is listed only
// when it could not be removed.
Extraction Installer::InstallPayloads(InstallationHost& host) {
  const std::vector<const product::PayloadRow*> rows = PayloadRowsToExtract(installDir_);
  unsigned long long total = 0;
  for (const product::PayloadRow* row : rows) total += PayloadSize(row->resourceName);
  // With administrator rights a file at a target is replaced, not written
  // through: it may be a link or a second name another user put there.
  const bool anew = isElevated_();
  return host.RunPayloads([&] { return ExtractRows(rows, total, anew, host); });
}

Extraction Installer::ExtractRows(const std::vector<const product::PayloadRow*>& rows,
                                  unsigned long long total, bool anew, InstallationHost& host) {
  unsigned long long done = 0;
  const ChunkObserver wrote = [&](size_t count) {
    done += count;
    return host.PayloadProgress(std::min(done, total), total);
  };
  for (const product::PayloadRow* row : rows) {
    const std::string target = installDir_ + row->fileName;
    const Extraction result = Extract(target, row->resourceName, wrote, anew);
    if (result == Extraction::CutShort) return result;
    const bool exists = platform::FileExists(target);
    // Reported written, but nothing is found there: as good as cut short.
    if (result == Extraction::Written && !exists) return Extraction::CutShort;
    if (exists && !IsPreservedFile(row->fileName)) AddLogEntry(LogEntryKind::File, target);
    if (result == Extraction::Stopped) return result;
  }
  return Extraction::Written;
}

void Installer::CreateDesktopLink(const platform::ShellFolderReader& reader) {
  const std::string desktop = ShellFolder(reader, "Desktop", CSIDL_DESKTOPDIRECTORY);
  if (desktop.empty()) return;
  const std::string mainProgram = installDir_ + product::MainProgram.fileName;
  CreateShellLink(installDir_, mainProgram, "",
                  platform::AnsiToWide(platform::FolderPrefix(desktop) + kNames.desktopLink),
                  product::FullName, mainProgram, 0);
}

// The product's Start-menu folder with its two links; returns the folder
// (with a trailing backslash), or nothing when the Start menu is unknown.
std::optional<std::wstring> Installer::CreateStartMenuLinks(
    const platform::ShellFolderReader& reader) {
  const std::string programs = ShellFolder(reader, "Programs", CSIDL_PROGRAMS);
  if (programs.empty()) return std::nullopt;
  const std::wstring StartMenuFolder =
      platform::AnsiToWide(platform::FolderPrefix(programs + "\\" + kNames.startMenuFolder));
  const std::string folder = platform::WideToAnsi(StartMenuFolder);
  CreateDirectoryA(folder.c_str(), nullptr);  // an existing folder is fine: not checked
  AddLogEntry(LogEntryKind::Folder, folder);
  const std::string mainProgram = installDir_ + product::MainProgram.fileName;
  const std::string helpText = installDir_ + product::HelpText.fileName;
  CreateShellLink(installDir_, mainProgram, "",
                  StartMenuFolder + platform::AnsiToWide(kNames.programLink), product::FullName,
                  mainProgram, 0);
  CreateShellLink(installDir_, helpText, "",
                  StartMenuFolder + platform::AnsiToWide(kNames.helpLink),
                  product::HelpLinkDescription, helpText, 0);
  return StartMenuFolder;
}

void Installer::CreateShortcuts(InstallationHost& host) {
  const platform::ShellFolderReader reader(registry_.shellFoldersRoot, registry_.explorerKey);
  if (host.DeskIconChecked()) CreateDesktopLink(reader);
  std::string ShortcutFolder = installDir_;
  if (host.StartIconChecked()) {
    if (auto startMenu = CreateStartMenuLinks(reader)) {
      ShortcutFolder = platform::WideToAnsi(*startMenu);
    }
  }
  const std::string mainProgram = installDir_ + product::MainProgram.fileName;
  CreateInternetShortcut(ShortcutFolder, kNames.publisherShortcut, product::PublisherUrl,
                         mainProgram, 1);
  CreateInternetShortcut(ShortcutFolder, kNames.productShortcut, product::ProductUrl, "", 0);
}

// The shortcuts are made while the shell-folder reader is open; releasing it
// and registering the product must follow also when a shortcut step raised,
// so that an installed product is always registered. The error then goes on.
void Installer::CreateShortcutsThenRegister(InstallationHost& host) {
  try {
    CreateShortcuts(host);  // the reader is released when this returns or raises
  } catch (...) {
    RegisterUninstall();
    throw;
  }
  RegisterUninstall();
}

void Installer::LogProductFiles(bool folderCreated) {
  for (const char* file : product::RuntimeFiles) {
    if (*file) Record(LogEntryKind::File, installDir_ + file, Recorded::Listed);
  }
  for (const char* folder : product::ExtraFolders) {
    if (*folder) AddLogEntry(LogEntryKind::Folder, installDir_ + folder);
  }
  if (folderCreated) AddLogEntry(LogEntryKind::Folder, installDir_);
}

// The results are not examined: whatever the system shows, the product is
// installed. With administrator rights the documents are opened as the
// user of the desktop, never with those rights; when the desktop's shell
// cannot be reached none is opened, and nothing is said.
void Installer::OpenInstalledDocuments(InstallationHost& host) {
  std::vector<std::string> documents;
  if (host.RunProgramChecked()) documents.push_back(installDir_ + product::MainProgram.fileName);
  if (host.OpenHelpText()) documents.push_back(installDir_ + product::HelpText.fileName);
  if (documents.empty()) return;
  if (isElevated_()) {
    platform::Shell().OpenDocumentsAsUser(documents, installDir_, SW_SHOWNORMAL);
    return;
  }
  for (const std::string& document : documents) {
    platform::Shell().OpenDocument(host.OwnerWindow(), document, installDir_, SW_SHOWNORMAL);
  }
}

bool Installer::RunInstallation(const std::string& folderText, InstallationHost& host) {
  installDir_ = DestinationFolder(folderText);
  const bool elevated = isElevated_();
  if (elevated) {
    const std::string refusal = DestinationRefusal(installDir_, ReadDestinationFacts(installDir_));
    if (!refusal.empty()) platform::Raise(refusal);
  }
  if (Obstacle obstacle = InstallationObstacle(installDir_); !obstacle.empty()) {
    platform::Raise(std::move(obstacle.text), obstacle.call);
  }
  if (host.DeskIconChecked()) {
    RefuseUnspelledLinkFolder(registry_, "Desktop", CSIDL_DESKTOPDIRECTORY);
  }
  if (host.StartIconChecked()) RefuseUnspelledLinkFolder(registry_, "Programs", CSIDL_PROGRAMS);
  bool FolderCreated = false;
  if (const std::string topMost = TopMostMissingLevel(installDir_); !topMost.empty()) {
    if (beforeMakingDestination_) beforeMakingDestination_();
    CreateDestination(installDir_, topMost, elevated && registry_.scope == Scope::Machine,
                      elevated);
    FolderCreated = true;
  }
  // Held from here until the last payload is written (see HoldDestination);
  // a destination that could not be made is told by the log's error, below.
  const platform::UniqueFile held = elevated && platform::DirectoryExists(installDir_)
                                        ? HoldDestination(installDir_)
                                        : platform::UniqueFile();
  BeginLog();
  switch (InstallPayloads(host)) {
    case Extraction::Written:
      break;
    case Extraction::CutShort:
      host.ShowDecompressionError();
      return false;
    case Extraction::Stopped:
      // The folder the stop leaves goes with the product's removal.
      if (FolderCreated) AddLogEntry(LogEntryKind::Folder, installDir_);
      return false;
  }
  CreateShortcutsThenRegister(host);
  LogProductFiles(FolderCreated);
  OpenInstalledDocuments(host);
  return true;
}

}  // namespace install
