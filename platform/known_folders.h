// The system's own answer for a special folder, used when the per-user
// "Shell Folders" value says nothing.
#pragma once

#include <string>

namespace platform {

// SHGetFolderPathA for the CSIDL; the empty text when the system has none.
std::string KnownFolderPath(int csidl);

}  // namespace platform
