#include "install/log_writer.h"

#include "platform/error.h"

#include <windows.h>

namespace install {

namespace {

// The profile writer takes paths shorter than MAX_PATH. A longer one is not
// refused everywhere: it can be written under a mangled name in the current
// folder, outside the destination, so the writer is never handed one.
bool FitsProfileWriter(const std::string& path) {
  return path.size() < MAX_PATH;
}

[[noreturn]] void RaiseUnwritable(const std::string& path, platform::FailedCall call) {
  platform::Raise(platform::Format("Unable to write to %s", path.c_str()), std::move(call));
}

}  // namespace

LogWriter::~LogWriter() {
  if (!FitsProfileWriter(path_)) return;  // nothing was written
  // Null section, key and value make the system write out what it still holds
  // for the file. Nothing can be done about a failure at this point, so the
  // result is not examined.
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, path_.c_str());
}

void LogWriter::Write(const char* section, const char* key, const std::string& value) const {
  if (!FitsProfileWriter(path_)) RaiseUnwritable(path_, {});  // no system call made
  if (!WritePrivateProfileStringA(section, key, value.c_str(), path_.c_str())) {
    RaiseUnwritable(path_, platform::Win32Failure("WritePrivateProfileStringA", GetLastError()));
  }
}

}  // namespace install
