// A running program cannot delete its own file, so the removal runs in a copy
// of the uninstaller in a private temporary folder. The copy waits for the
// original to end, removes the installation (the original among it) and
// has itself deleted when the system next starts.
#pragma once

#include "uninstaller/outcome.h"

#include <string>

namespace uninstaller {

// The failure of `function`, a step that prepares the removal, with the
// system's text for `error`: nothing has been removed then.
Outcome NotPrepared(const char* function, unsigned long error);

// The full path of this program's file.
Result<std::string> OwnProgramPath();

// The folder part of a path, with its trailing backslash.
std::string FolderOf(const std::string& path);

// A new folder under the temporary folder that only this user and the
// system may change; its path, with a trailing backslash. Fails when it
// cannot be made.
Result<std::string> CreatePrivateFolder();

// Copies this program to a new private temporary folder and starts the copy
// with FinishArguments naming this process and `originalProgram`, and
// `resultPipe` (inherited) when the original waits for the outcome. Fails
// when any step fails; nothing has been removed then.
Outcome StartFinisher(const std::string& originalProgram, void* resultPipe = nullptr);

// What the copy was started with: the original's process, which it waits
// for, the original program's path and, for an unattended removal, the pipe
// through which the original learns the outcome.
struct FinishArguments {
  void* originalProcess = nullptr;
  std::string originalProgram;
  void* resultPipe = nullptr;
};

// True (and `arguments` filled) when this process was started by StartFinisher.
bool ReadFinishArguments(int argc, char** argv, FinishArguments& arguments);

// Fails, before anything is removed or scheduled, unless the arguments are
// what StartFinisher hands over: a handle to another process whose program
// is this uninstaller, byte for byte, and that program's path in the one
// form the installation writes. Anyone may start the copy with any command
// line, and it runs with administrator rights.
Outcome CheckFinishArguments(const FinishArguments& arguments);

// Waits for the original process to end. Fails when the handle was not
// handed over by an original (the copy then removes nothing).
Outcome WaitForOriginal(const FinishArguments& arguments);

// Has this copy and its temporary folder deleted when the system next starts.
void ScheduleOwnRemoval();

}  // namespace uninstaller
