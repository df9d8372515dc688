// The system's own answer for a special folder, used when the per-user
// "Shell Folders" value says nothing.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>

namespace platform {

// SHGetFolderPathA for the CSIDL; the empty text when the system has none.
std::string KnownFolderPath(int csidl);
// The same in UTF-16 (SHGetFolderPathW).
std::wstring KnownFolderPathWide(int csidl);

// SHGetKnownFolderPath for the id, as the system spells it (UTF-16, so that
// a profile outside the ANSI code page keeps its name); empty when the
// system names none.
std::wstring KnownFolderPathWide(REFKNOWNFOLDERID id);

}  // namespace platform
