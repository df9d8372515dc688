#include "platform/files.h"

#include "platform/error.h"
#include "platform/paths.h"

namespace platform {

#if __cpp_exceptions  // raises: left out of a build without exceptions (error.h)
UniqueFile CreateFileForWriting(const std::string& path) {
  UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD error = GetLastError();
    Raise(Format("Cannot create file \"%s\". %s", FullPathName(path).c_str(),
                 SystemErrorText(error).c_str()),
          Win32Failure("CreateFileA", error));
  }
  return file;
}
#endif

void WriteLine(HANDLE file, const std::string& text) noexcept {
  if (!file || file == INVALID_HANDLE_VALUE) return;
  const char* data = text.data();
  for (DWORD left = static_cast<DWORD>(text.size()), written = 0; left > 0; left -= written) {
    if (!WriteFile(file, data, left, &written, nullptr) || written == 0) return;
    data += written;
  }
  DWORD written = 0;
  WriteFile(file, "\r\n", 2, &written, nullptr);
}

void WriteStandardError(const std::string& text) noexcept {
  WriteLine(GetStdHandle(STD_ERROR_HANDLE), text);
}

}  // namespace platform
