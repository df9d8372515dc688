// The one way the program reports a failure it does not handle itself: an
// exception carrying the fixed English text the user reads in the error box,
// and the system call that failed, which only an administrator's report
// shows (DiagnosisLine).
#pragma once

#include <windows.h>

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <utility>

namespace platform {

// What a failed system call reported. Where one function serves several
// raises, `function` names what it was making too, e.g.
// "CreateWindowExA(SysTabControl32)", so that the raises can be told apart.
struct FailedCall {
  // Which kind of code the call reports, which decides how it is written.
  enum class Kind : std::uint8_t { None, Win32, HResult, Zlib };

  // The call's name, a text that lives as long as the program (a literal);
  // null: no system call failed (a damaged stream, a refusal). Nothing is
  // allocated between the failing call and the reading of its code.
  const char* function = nullptr;
  Kind kind = Kind::None;
  std::uint32_t code = 0;  // the zlib result as its two's complement
  // What the call was making, when one call serves several raises (a
  // window class): written after the name in brackets. Lives as long.
  const char* subject = nullptr;
};

// For a GetLastError value or an LSTATUS:
constexpr FailedCall Win32Failure(const char* function, DWORD code, const char* subject = nullptr) {
  return {function, FailedCall::Kind::Win32, code, subject};
}
constexpr FailedCall HResultFailure(const char* function, HRESULT code) {
  return {function, FailedCall::Kind::HResult, static_cast<std::uint32_t>(code)};
}
constexpr FailedCall ZlibFailure(const char* function, int result) {
  return {function, FailedCall::Kind::Zlib, static_cast<std::uint32_t>(result)};
}
// A call that failed without a code to tell why (a message refused, a
// GDI object not made):
constexpr FailedCall CodelessFailure(const char* function) {
  return {function, FailedCall::Kind::None, 0};
}

// The line an administrator's report adds after the text, e.g.
// "Diagnosis: CreateFileA failed with error 32 (0x00000020)."; empty when
// no system call failed.
std::string DiagnosisLine(const FailedCall& failed);

class SetupError : public std::exception {
 public:
  explicit SetupError(std::string text, FailedCall call = {})
      : text_(std::move(text)), call_(std::move(call)) {}
  const char* what() const noexcept override { return text_.c_str(); }
  const std::string& text() const noexcept { return text_; }
  const FailedCall& call() const noexcept { return call_; }

 private:
  std::string text_;
  FailedCall call_;
};

// Raising needs the C++ exception runtime, which the uninstaller is built
// without (it hands its failures back as values: uninstaller/outcome.h).
// In a build without exceptions Raise does not exist, nor does any platform
// function that raises, so that the uninstaller cannot call one unawares:
// the build stops.
#if __cpp_exceptions
[[noreturn]] void Raise(std::string text, FailedCall call = {});
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
