// Message dialogs: every message to the user is a modal dialog of a kind
// (warning or error) with "OK" or "&Yes"/"&No". The form calls them through
// this interface so that tests can answer on cue.
#pragma once

#include "product/program_texts.h"

#include <windows.h>

#include <string>

namespace wizard {

enum class MessageKind { Warning, Error };
enum class MessageButtons { Ok, YesNo };
// Only "&Yes" is ever tested; Escape and closing the dialog give Other.
enum class MessageAnswer { Ok, Yes, Other };

inline constexpr const char* kPleaseSpecifyFolder = "Please specify destination folder.";
inline constexpr const char* kReallyExit = "Installation not completed, really exit now?";
using product::kErrorDecompressing;

class MessageDialogs {
 public:
  virtual ~MessageDialogs() = default;
  virtual MessageAnswer Show(HWND owner, MessageKind kind, const std::string& text,
                             MessageButtons buttons) = 0;
};

// The system's dialogs: a task dialog on Windows 6.0 and later with visual
// styles active, otherwise a dialog window centred on the screen.
MessageDialogs& SystemMessageDialogs();

// Always the dialog window, whatever the system offers.
MessageDialogs& FallbackMessageDialogs();

}  // namespace wizard
