// The shell's folder browser as one modal operation.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace wizard {

// Shows the shell's folder dialog (file-system folders only, new style, no
// new-folder button) owned by `owner`, with `prompt` above the tree, no root
// and nothing selected, centred within the size of the monitor nearest
// `centreOn`. While it is open the thread's other top-level windows are
// disabled and critical-error boxes are off. The chosen folder's full path,
// or nothing when the user cancels or the shell's allocator is unavailable.
std::optional<std::string> BrowseForFolder(HWND owner, const std::string& prompt, HWND centreOn);

}  // namespace wizard
