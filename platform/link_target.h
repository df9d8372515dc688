// Where a shell link leads, read through the system's shell-link object.
#pragma once

#include <string>

namespace platform {

// The path the link at `linkPath` starts, as stored in it (environment
// references not expanded); empty when the file is no link the shell can
// read or names no path. Joins the calling thread's apartment, or makes
// one for the call.
std::string ShellLinkTarget(const std::string& linkPath);

}  // namespace platform
