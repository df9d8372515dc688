// Which entries of install.log name something the installation made. The log
// lies in the product's folder, which other users may be able to write to, and
// the removal usually runs with administrator rights: an entry alone proves
// nothing. A logged file is removed only when it lies directly in the
// uninstaller's own folder, or when it is one of the links the installation
// makes, under the name it gives them: in the folder the system names for
// them, or in the folder the log recorded at installation time (a desktop
// moved since, another account's removal) when what is there starts this
// installation's own program.
#pragma once

#include "platform/registry.h"

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace uninstaller {

// The two folders the installation puts links in.
struct LinkFolders {
  std::string desktop;
  std::string programs;  // the Start menu's programs; the product's folder is made inside
};

// The folders as the installation takes them from the system: the user's
// "Shell Folders" values (under root\explorerKey; tests point elsewhere), or
// the system's own folders when those say nothing or are not text.
LinkFolders SystemLinkFolders(HKEY root = HKEY_CURRENT_USER,
                              const std::string& explorerKey = platform::kExplorerKey);

// The folder the product's uninstall entry (root\uninstallKeys\ShortName)
// names in "InstallLocation", as stored, while an installation is there
// (its install.log is); empty otherwise. The installer proposes it, and the
// uninstaller leaves the entry to it when it is another folder.
std::string RegisteredFolder(HKEY root,
                             const std::string& uninstallKeys = platform::kUninstallKeys);

// The links and shortcut files the installation makes in those folders,
// under the names it gives them.
struct InstallationLinks {
  std::string desktopLink;             // empty when the desktop is unknown
  std::vector<std::string> startMenu;  // the program link first; empty when unknown
};
InstallationLinks LinksIn(const LinkFolders& links);

// Where the product's Start-menu folder's entries lead, together: its
// program link's target, else its publisher page's icon file; empty when
// neither says.
std::string StartMenuOwner(const std::string& startMenuFolder);

class InstallationFiles {
 public:
  // `ownFolder`: the folder the uninstaller was started from; `logged`: the
  // log's files, read here before any of them is removed.
  InstallationFiles(const std::string& ownFolder, const LinkFolders& links,
                    const std::vector<std::string>& logged = {});

  // The path to delete for a logged file: the installation's own spelling of
  // it, never the entry's. Empty when the entry names nothing it makes.
  std::string PathToRemove(const std::string& entry) const;

 private:
  std::wstring ownFolder_;                                   // in the form paths compare in
  std::string ownPrefix_;                                    // as given, with a trailing backslash
  std::vector<std::pair<std::wstring, std::string>> links_;  // compared form, path

  void AddLink(std::string path);
  // A logged link or shortcut file outside the system's folders that is
  // the installation's by its name and by the program it starts.
  bool IsRecordedLink(const std::string& path, const std::string& ownFolder) const;
};

}  // namespace uninstaller
