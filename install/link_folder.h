// The folder part of a shell link's path, as the link step uses it to test,
// create, log and announce the link's folder.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace install {

// `linkPath` cut after its last backslash or colon; that backslash is then
// dropped unless the character before it is a backslash or a colon, or there
// is none. So "C:\Quorvelle\Quorvelle.lnk" gives "C:\Quorvelle", "C:\x.lnk"
// gives "C:\" and "x.lnk" gives "". A byte that is the second half of a
// double-byte character in `codePage` is never taken for a backslash or colon.
std::string LinkFolder(std::string_view linkPath, UINT codePage = CP_ACP);

}  // namespace install
