// Undoing one installation as its log records it: the logged files, then the
// logged folders that are empty, then the uninstall key, then the log and the
// uninstaller themselves. Nothing the log does not list is touched, nor any
// logged file the installation does not make (see installation_files.h).
#pragma once

#include "platform/registry.h"
#include "uninstaller/installation_files.h"
#include "uninstaller/uninstall_log.h"

#include <windows.h>

#include <string>
#include <vector>

namespace uninstaller {

struct FileNotRemoved {
  std::string path;
  std::string reason;  // the system's text for why
};

struct FolderKept {
  std::string path;
  std::vector<std::string> contents;  // the first few names still inside it
};

struct RemovalReport {
  std::vector<FileNotRemoved> files;
  std::vector<FolderKept> folders;
  std::string keyFailure;  // why the uninstall key stayed; empty when it went
  // Logged entries that name nothing the installation made, and logged
  // folders that are junctions or links: none of them touched.
  std::vector<std::string> leftAlone;
  // What a later installation into another folder made its own: the
  // uninstall entry (the folder it names; empty when the entry was this
  // installation's) and the links that now start that installation's
  // program. Left alone on purpose, so no failure of this removal.
  std::string entryOwner;
  std::vector<std::string> othersLinks;
  bool Complete() const {
    return files.empty() && folders.empty() && keyFailure.empty() && leftAlone.empty();
  }
};

// Where the product's uninstall key lies; tests point it at a scratch key.
struct UninstallKeyLocation {
  HKEY root = HKEY_LOCAL_MACHINE;
  std::string parentPath = platform::kUninstallKeys;
};

// Where the entry of this installation's scope lies: the user's own list
// when its entry names `ownFolder` (an installation for the current user),
// else the machine's, where every earlier installation registered. The
// other scope's entry is never touched, so a user's removal needs no
// administrator rights.
UninstallKeyLocation EntryLocationFor(const std::string& ownFolder,
                                      const UninstallKeyLocation& user = {HKEY_CURRENT_USER},
                                      const UninstallKeyLocation& machine = {});

// Deletes one file. A file already gone counts as deleted; a read-only one
// is made writable first, since the log says the installation made it.
// Returns the reason it stayed, empty when it is gone.
std::string DeleteLoggedFile(const std::string& path);

// Removes the logged folders that are empty, in log order, again and again
// until a pass removes none. Never deletes anything inside a folder, nor a
// folder that is a junction or link.
void RemoveEmptyFolders(const std::vector<std::string>& folders);

// The folder the product's uninstall entry names when another installation
// is there (its install.log is) and it is not `ownFolder`; empty otherwise.
std::string RegisteredElsewhere(const UninstallKeyLocation& location, const std::string& ownFolder);

// The installation's links that start a program outside `ownFolder`: made
// anew by an installation into another folder. The Start-menu folder's
// entries go together, by where its program link (else its publisher page's
// icon) leads; a link that cannot be read counts as this installation's.
std::vector<std::string> OtherInstallationsLinks(const std::string& ownFolder,
                                                 const LinkFolders& links);

// Deletes the key named by the product's short name. A key that is not
// there is no failure. Returns the reason it stayed, empty when it is gone.
std::string RemoveUninstallKey(const UninstallKeyLocation& location, const std::string& shortName);

// The whole removal: every logged file of the installation in log order, the
// empty logged folders, the product's uninstall key (never the log's
// ShortName), then the log itself and the
// uninstaller (both in `logFolder`), and once more the folders that only
// these two kept. `links` are where the installation put its links.
RemovalReport RemoveInstallation(const InstallLogContents& log, const std::string& logFolder,
                                 const std::string& uninstallerName,
                                 const UninstallKeyLocation& location = {},
                                 const LinkFolders& links = SystemLinkFolders());

// The final message: what was removed and, by name, what stayed and where.
std::string DescribeReport(const InstallLogContents& log, const RemovalReport& report);

}  // namespace uninstaller
