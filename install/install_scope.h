// Whom an installation is for: the whole machine (the system's program
// folder, the machine's list of installed programs) or only the user who runs
// it (the user's own programs folder and list), and how that is chosen.
#pragma once

#include <windows.h>

namespace install {

enum class Scope { Machine, User };

// What the command line asks for: nothing (the rights decide), /CURRENTUSER
// or /ALLUSERS.
enum class ScopeRequest { Default, CurrentUser, AllUsers };

// What a user of /ALLUSERS without administrator rights reads.
inline constexpr const char* kAllUsersNeedsRights =
    "Installing for all users needs administrator rights. Start Setup.exe as an administrator, "
    "or without /ALLUSERS to install for yourself only";

// With administrator rights the machine, without them the user, unless the
// command line says otherwise: /CURRENTUSER always gives the user, /ALLUSERS
// the machine (see CheckScopeRights).
Scope ChooseScope(ScopeRequest request, bool elevated);

// /ALLUSERS without administrator rights raises kAllUsersNeedsRights: the
// installation is refused before anything changes.
void CheckScopeRights(ScopeRequest request, bool elevated);

// The hive that holds the scope's uninstall entry.
HKEY UninstallRoot(Scope scope);
// That hive's name, as an administrator reads it in a report.
const char* UninstallRootName(Scope scope);

}  // namespace install
