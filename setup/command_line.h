// What an administrator may ask of the program on its command line. Without
// arguments the wizard runs as it always does; with /S the installation runs
// unattended, without any window; /CURRENTUSER and /ALLUSERS choose whom
// either installs for.
#pragma once

#include "install/install_scope.h"

#include <string>
#include <string_view>

namespace setup {

enum class Request {
  Wizard,   // no arguments, or only /CURRENTUSER or /ALLUSERS
  Usage,    // /?
  Install,  // /S
  Error,    // the command line is wrong: nothing may be written
};

// The unattended installation's choices, from the switches.
struct SilentOptions {
  bool desktopIcon = true;     // off with /NODESKTOP
  bool startMenuIcons = true;  // off with /NOSTARTMENU
  bool runProgram = false;     // on with /RUN
  std::string logFile;         // /LOG=<file>; empty: no log
  std::string destination;     // /D=<folder>; empty: the wizard's default folder
};

struct CommandLine {
  Request request = Request::Wizard;
  bool silent = false;    // /S was given: no window or message box of any kind
  SilentOptions options;  // the log file is kept for a wrong command line too
  install::ScopeRequest scope = install::ScopeRequest::Default;  // for the wizard and /S
  std::string error;  // Request::Error: what is wrong, in one sentence
};

// The arguments: what follows the program's name (quoted or not) in the
// command line as the system hands it over.
std::string_view ArgumentsOf(std::string_view commandLine);

// Switches are case-insensitive and separated by blanks; quotation marks
// group blanks into one switch (/LOG="C:\My logs\setup.log"). /D= must come
// last and takes the rest of the line, blanks included and quotation marks
// left out.
CommandLine ParseArguments(std::string_view arguments);

// The switches and exit codes, as /? shows them.
extern const char* const kUsage;

}  // namespace setup
