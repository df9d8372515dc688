// The removal without a question or a message (Uninstall.exe /S), for
// management tools, which learn the outcome from the exit code alone.
#pragma once

#include "uninstaller/removal.h"
#include "uninstaller/self_removal.h"

#include <string>

namespace uninstaller {

// Exit codes of an unattended removal.
inline constexpr int kAllRemoved = 0;
inline constexpr int kRemovalFailed = 2;  // no log, or the uninstall key stayed
inline constexpr int kSomethingKept = 3;  // files or folders stayed: in use, or not the product's

// True when the uninstaller was started with /S (any case) and nothing else.
bool IsUnattendedRequest(int argc, char** argv);

// The report without what goes once the original has ended: the original
// program's own file, and its folder when that holds nothing else.
RemovalReport WithoutOriginal(RemovalReport report, const std::string& originalProgram);

// The key that stayed gives kRemovalFailed, anything else that stayed
// kSomethingKept.
int ExitCodeOf(const RemovalReport& report);

// The original started with /S: checks the log, hands the removal to a copy
// of itself and waits for the outcome, whose text it writes to standard
// error when something stayed. Returns the exit code.
int RemoveUnattended();

// The copy the above started: removes the installation while the original
// waits, sends the outcome, and then, once the original has ended, removes
// the original's file and the folders that only it kept.
void FinishUnattended(const FinishArguments& arguments);

}  // namespace uninstaller
