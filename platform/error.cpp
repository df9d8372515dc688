#include "platform/error.h"

#include <cstdarg>
#include <cstdio>

namespace platform {

#if __cpp_exceptions  // raises: left out of a build without exceptions (error.h)
void Raise(std::string text, FailedCall call) {
  throw SetupError(std::move(text), std::move(call));
}
#endif

std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  // The system's C library formats: the fixed message formats need no more,
  // and the runtime's own printf would add about 25 KB to the program.
  const int length = _vscprintf(format, copy);
  va_end(copy);
  std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
  if (length > 0) _vsnprintf(text.data(), text.size() + 1, format, args);
  va_end(args);
  return text;
}

std::string DiagnosisLine(const FailedCall& failed) {
  if (!failed.function || !*failed.function) return {};
  const std::string named =
      failed.subject ? Format("%s(%s)", failed.function, failed.subject) : failed.function;
  const char* call = named.c_str();
  switch (failed.kind) {
    case FailedCall::Kind::Win32:
      return Format("Diagnosis: %s failed with error %u (0x%08X).", call, failed.code, failed.code);
    case FailedCall::Kind::HResult:
      return Format("Diagnosis: %s failed with HRESULT 0x%08X.", call, failed.code);
    case FailedCall::Kind::Zlib:
      return Format("Diagnosis: %s failed with result %d.", call, static_cast<int>(failed.code));
    case FailedCall::Kind::None:
      break;
  }
  return Format("Diagnosis: %s failed.", call);
}

std::string SystemErrorText(DWORD code) {
  char buffer[256];
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ARGUMENT_ARRAY,
      nullptr, code, 0, buffer, sizeof buffer, nullptr);
  while (length > 0) {
    const char last = buffer[length - 1];
    if (last != ' ' && last != '\r' && last != '\n' && last != '\t' && last != '.') break;
    --length;
  }
  return std::string(buffer, length);
}

std::string WithClosingFullStop(std::string text) {
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  return text;
}

}  // namespace platform
