// The one way the program reports a failure it does not handle itself: an
// exception carrying the fixed English text the user reads in the error box.
#pragma once

#include <windows.h>

#include <exception>
#include <string>

namespace platform {

class SetupError : public std::exception {
 public:
  explicit SetupError(std::string text) : text_(std::move(text)) {}
  const char* what() const noexcept override { return text_.c_str(); }
  const std::string& text() const noexcept { return text_; }

 private:
  std::string text_;
};

// Raising needs the C++ exception runtime, which the uninstaller is built
// without (it hands its failures back as values: uninstaller/outcome.h).
// In a build without exceptions Raise does not exist, nor does any platform
// function that raises, so that the uninstaller cannot call one unawares:
// the build stops.
#if __cpp_exceptions
[[noreturn]] void Raise(std::string text);
#endif

// printf-style formatting (the system C library's) into a std::string, for the
// fixed message formats.
std::string Format(const char* format, ...) __attribute__((format(ms_printf, 1, 2)));

// The system's text for an error code: at most 256 characters, with trailing
// blanks, line breaks and full stops removed; empty when the system has none.
std::string SystemErrorText(DWORD code);

// The text the error box shows: a full stop is added unless the text already
// ends in a character whose code is not above that of ".".
std::string WithClosingFullStop(std::string text);

}  // namespace platform
