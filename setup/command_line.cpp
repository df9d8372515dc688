#include "setup/command_line.h"

#include "platform/error.h"
#include "platform/paths.h"

namespace setup {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Compared letter by letter in ASCII: the user's code page must not change
// which switch is meant.
bool StartsWithSwitch(std::string_view text, std::string_view name) {
  if (text.size() < name.size()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    if (AsciiUpper(text[i]) != name[i]) return false;
  }
  return true;
}

bool IsSwitch(std::string_view text, std::string_view name) {
  return text.size() == name.size() && StartsWithSwitch(text, name);
}

std::string_view WithoutTrailingBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string WithoutQuotationMarks(std::string_view text) {
  std::string result;
  for (char c : text) {
    if (c != '"') result += c;
  }
  return result;
}

// One switch: up to the next blank outside quotation marks, the marks removed.
std::string NextToken(std::string_view& rest) {
  std::string token;
  bool quoted = false;
  size_t i = 0;
  for (; i < rest.size() && (quoted || !IsBlank(rest[i])); ++i) {
    if (rest[i] == '"') {
      quoted = !quoted;
    } else {
      token += rest[i];
    }
  }
  rest.remove_prefix(i);
  return token;
}

class Parser {
 public:
  CommandLine Parse(std::string_view rest) {
    for (;;) {
      while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
      if (rest.empty()) break;
      // No folder name holds a quotation mark: a tool that quoted the
      // switch or the folder gets the folder it meant.
      const std::string unquoted = WithoutQuotationMarks(rest);
      if (StartsWithSwitch(unquoted, "/D=")) {
        std::string_view after = rest;
        NextToken(after);  // /D= and the folder's first word
        if (!RefuseSwitchesIn(after)) {
          TakeDestination(WithoutTrailingBlanks(std::string_view(unquoted).substr(3)));
        }
        break;
      }
      Take(NextToken(rest));
    }
    return Result();
  }

 private:
  void Fail(std::string text) {
    if (result_.error.empty()) result_.error = std::move(text);
  }

  void Take(const std::string& token) {
    if (IsSwitch(token, "/S")) {
      result_.silent = true;
    } else if (IsSwitch(token, "/?")) {
      usage_ = true;
    } else if (IsSwitch(token, "/NODESKTOP")) {
      TakeOption(token, result_.options.desktopIcon, false);
    } else if (IsSwitch(token, "/NOSTARTMENU")) {
      TakeOption(token, result_.options.startMenuIcons, false);
    } else if (IsSwitch(token, "/RUN")) {
      TakeOption(token, result_.options.runProgram, true);
    } else if (IsSwitch(token, "/CURRENTUSER")) {
      TakeScope(install::ScopeRequest::CurrentUser);
    } else if (IsSwitch(token, "/ALLUSERS")) {
      TakeScope(install::ScopeRequest::AllUsers);
    } else if (StartsWithSwitch(token, "/LOG=")) {
      TakeLogFile(token);
    } else {
      Fail(platform::Format("Unknown switch \"%s\".", token.c_str()));
    }
  }

  void TakeOption(const std::string& token, bool& option, bool value) {
    option = value;
    if (firstOption_.empty()) firstOption_ = token;
  }

  // The same switch twice says the same; the two together contradict.
  void TakeScope(install::ScopeRequest scope) {
    if (result_.scope != install::ScopeRequest::Default && result_.scope != scope) {
      Fail("/CURRENTUSER and /ALLUSERS cannot be given together.");
    }
    result_.scope = scope;
  }

  void TakeLogFile(const std::string& token) {
    result_.options.logFile = token.substr(5);
    if (firstOption_.empty()) firstOption_ = token.substr(0, 5);
    if (result_.options.logFile.empty()) Fail("/LOG= needs the name of a file.");
  }

  // A switch of ours after /D= would be taken as part of the folder (a
  // management tool that appends a switch to a command line it was given,
  // say): that is a command-line error, and one that mentions /S is
  // reported as an unattended run's, without a window.
  bool RefuseSwitchesIn(std::string_view after) {
    std::string first;
    for (std::string_view rest = after; !rest.empty();) {
      while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
      const std::string word = NextToken(rest);
      if (!IsOurSwitch(word)) continue;
      if (IsSwitch(word, "/S")) result_.silent = true;
      if (first.empty()) first = word;
    }
    if (first.empty()) return false;
    Fail(
        platform::Format("/D= takes the rest of the command line as its folder, and that holds %s: "
                         "give /D= last.",
                         first.c_str()));
    return true;
  }

  static bool IsOurSwitch(const std::string& word) {
    for (const char* name :
         {"/S", "/?", "/NODESKTOP", "/NOSTARTMENU", "/RUN", "/CURRENTUSER", "/ALLUSERS"}) {
      if (IsSwitch(word, name)) return true;
    }
    return StartsWithSwitch(word, "/LOG=") || StartsWithSwitch(word, "/D=");
  }

  void TakeDestination(std::string_view folder) {
    if (firstOption_.empty()) firstOption_ = "/D=";
    result_.options.destination = folder;
    if (folder.empty()) {
      Fail("/D= needs a folder.");
    } else if (!platform::IsFullPath(folder)) {
      Fail(
          platform::Format("/D= needs the full path of a folder, such as C:\\Apps\\Quorvelle, "
                           "not %s.",
                           result_.options.destination.c_str()));
    }
  }

  CommandLine Result() {
    if (result_.error.empty() && !result_.silent && !firstOption_.empty()) {
      Fail(platform::Format("%s belongs to the unattended installation and needs /S.",
                            firstOption_.c_str()));
    }
    if (!result_.error.empty()) {
      result_.request = Request::Error;
    } else if (usage_) {
      result_.request = Request::Usage;
    } else if (result_.silent) {
      result_.request = Request::Install;
    }
    return std::move(result_);
  }

  CommandLine result_;
  bool usage_ = false;
  std::string firstOption_;  // the first switch that needs /S
};

}  // namespace

const char* const kUsage =
    "Setup.exe [/CURRENTUSER | /ALLUSERS]\n"
    "Setup.exe /S [/CURRENTUSER | /ALLUSERS] [/NODESKTOP] [/NOSTARTMENU] [/RUN] [/LOG=<file>]\n"
    "\t[/D=<folder>]\n"
    "Setup.exe /?\n"
    "\n"
    "/CURRENTUSER\tinstalls for you only, into your own programs folder, without\n"
    "\tadministrator rights (the choice without them)\n"
    "/ALLUSERS\tinstalls for every user, into Program Files; needs administrator\n"
    "\trights (the choice with them)\n"
    "/S\tinstalls without any window, with the desktop and Start-menu icons\n"
    "/NODESKTOP\tno desktop icon\n"
    "/NOSTARTMENU\tno Start-menu icons\n"
    "/RUN\tstarts the program once installed\n"
    "/LOG=<file>\twrites what was installed, or the error, into the file\n"
    "/D=<folder>\tthe destination, a full path; the last switch, blanks need no quotation marks\n"
    "\n"
    "Exit codes: 0 installed, or this text shown without /S; 1 the command line is wrong,\n"
    "or this text asked for with /S (nothing was written);\n"
    "2 the installation failed, or /ALLUSERS was given without administrator rights.";

std::string_view ArgumentsOf(std::string_view commandLine) {
  // A quoted name ends at its closing mark, as the system reads it.
  if (!commandLine.empty() && commandLine.front() == '"') {
    const size_t close = commandLine.find('"', 1);
    return close == std::string_view::npos ? std::string_view() : commandLine.substr(close + 1);
  }
  size_t i = 0;
  while (i < commandLine.size() && !IsBlank(commandLine[i])) ++i;
  return commandLine.substr(i);
}

CommandLine ParseArguments(std::string_view arguments) {
  return Parser().Parse(arguments);
}

}  // namespace setup
