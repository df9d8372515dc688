#include "platform/files.h"

#include "platform/error.h"
#include "platform/text.h"

namespace platform {

UniqueFile CreateFileForWriting(const std::string& path) {
  UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD error = GetLastError();
    Raise(Format("Cannot create file \"%s\". %s", FullPathName(path).c_str(),
                 SystemErrorText(error).c_str()));
  }
  return file;
}

}  // namespace platform
