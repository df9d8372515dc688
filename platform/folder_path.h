// The one form every destination path takes, so that what the installation
// writes, logs and registers and what the uninstaller compares agree.
#pragma once

#include <string>

namespace platform {

// The folder the text names, as the system resolves it: made absolute
// against the current folder or drive, forward slashes read as backslashes,
// "." and ".." taken out, trailing blanks and dots dropped from every level
// (as the system drops them when it makes a folder), with one trailing
// backslash. A text already in that form comes back byte for byte.
// Empty when no folder could be made under that name: a level made only of
// blanks and dots, a reserved device name as a level ("NUL", "com1.txt"), a
// colon after the drive (a file's stream), or a device or namespace path
// ("\\?\...", "\\.\..."), which bypasses the system's resolution.
std::string ResolvedFolder(const std::string& text);

}  // namespace platform
