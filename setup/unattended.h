// The program run from an administrator's command line: the usage, a wrong
// command line, or the whole installation without any window.
#pragma once

#include "install/install_scope.h"
#include "platform/security.h"

#include <functional>
#include <optional>
#include <string_view>

namespace setup {

// Exit codes of a run from the command line.
inline constexpr int kInstalled = 0;
inline constexpr int kCommandLineWrong = 1;  // nothing was written
inline constexpr int kInstallationFailed = 2;

// Carries out what the command line asks and gives the exit code; nothing
// when it asks for the wizard (no arguments, or only /CURRENTUSER or
// /ALLUSERS, which `wizardScope` then holds), and the wizard runs. This is
// the outermost frame of such a run: no error leaves it. `isElevated`:
// whether the run has administrator rights; tests decide.
std::optional<int> RunCommandLine(
    std::string_view commandLine, install::ScopeRequest& wizardScope,
    const std::function<bool()>& isElevated = platform::IsElevated) noexcept;

}  // namespace setup
