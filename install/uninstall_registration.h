// The product's entry in the system's list of installed programs.
#pragma once

#include <windows.h>

#include <string>

namespace install {

// Opens or creates root\keyPath and writes the seventeen values of the entry
// for a product installed in `installDir` (with its trailing backslash).
// Returns false, silently, when the key can be neither opened nor created; a
// value that cannot be written raises "Failed to set data for '<name>'",
// keeping the values written before it.
bool WriteUninstallEntry(HKEY root, const std::string& keyPath, const std::string& installDir);

}  // namespace install
