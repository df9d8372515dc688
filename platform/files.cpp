#include "platform/files.h"

#include "platform/error.h"
#include "platform/paths.h"

namespace platform {

#if __cpp_exceptions  // raises: left out of a build without exceptions (error.h)
namespace {

[[noreturn]] void RaiseCannotCreate(const std::string& path, const char* function, DWORD error) {
  Raise(Format("Cannot create file \"%s\". %s", FullPathName(path).c_str(),
               SystemErrorText(error).c_str()),
        Win32Failure(function, error));
}

UniqueFile OpenForWriting(const std::string& path, DWORD disposition) {
  UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) RaiseCannotCreate(path, "CreateFileA", GetLastError());
  return file;
}

}  // namespace

UniqueFile CreateFileForWriting(const std::string& path) {
  return OpenForWriting(path, CREATE_ALWAYS);
}

UniqueFile CreateNewFileForWriting(const std::string& path) {
  if (!DeleteFileA(path.c_str())) {
    const DWORD error = GetLastError();
    // Nothing there is what is wanted; a missing folder is told by the creation.
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
      RaiseCannotCreate(path, "DeleteFileA", error);
    }
  }
  return OpenForWriting(path, CREATE_NEW);
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
