// The proposed destination, for the wizard's folder page and the unattended
// run alike: the registered installation's folder, else a folder named after
// the product inside the system's Program Files folder; and the product
// folder inside a folder the user picks.
#pragma once

#include "install/install_scope.h"

#include <windows.h>

#include <optional>
#include <string>

namespace install {

// "ProgramFilesDir", then "ProgramFilesPath", under root\key (read access).
// Found only for a text value with data; an empty text is found and stops the
// search. `root` is HKEY_LOCAL_MACHINE except in tests.
std::optional<std::string> ReadProgramFilesValue(const std::string& key,
                                                 HKEY root = HKEY_LOCAL_MACHINE);

// The Program Files folder with environment references expanded, as stored
// (no backslash added or removed): the NT key (NT family only), the Windows
// key, else "%SystemDrive%\Program Files".
std::string GetProgramFilesDir(HKEY root = HKEY_LOCAL_MACHINE);

// The folder the product's uninstall entry under root names ("InstallLocation",
// without its trailing backslash), when an installation is still there (its
// install.log is); nothing otherwise.
std::optional<std::string> RegisteredInstallFolder(HKEY root = HKEY_LOCAL_MACHINE);

// What the folder page proposes: the registered installation's folder, so
// that installing again replaces it rather than making a second one beside
// it; else the Program Files folder as a prefix, then ShortName. An empty
// Program Files text gives "\Quorvelle".
std::string DefaultDestinationFolder(HKEY root = HKEY_LOCAL_MACHINE);

// The user's own programs folder (FOLDERID_UserProgramFiles), else, where
// the system names none, the local application data folder's "Programs"
// beside it; empty when the system knows neither.
std::string UserProgramFilesDir();

// What the folder page and the unattended run propose for the scope: as
// above for the machine; for the user, the folder the user's own entry
// names while an installation is there, else UserProgramFilesDir() as a
// prefix, then ShortName.
std::string DefaultDestinationFolder(Scope scope);

// The product folder inside a folder the user picked; ShortName is always
// appended, also when the pick already ends in it.
std::string ProductFolderIn(const std::string& chosenPath);

}  // namespace install
