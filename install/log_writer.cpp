#include "install/log_writer.h"

#include "platform/error.h"

#include <windows.h>

namespace install {

LogWriter::~LogWriter() {
  // Null section, key and value make the system write out what it still holds
  // for the file. Nothing can be done about a failure at this point, so the
  // result is not examined.
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, path_.c_str());
}

void LogWriter::Write(const char* section, const char* key, const std::string& value) const {
  if (!WritePrivateProfileStringA(section, key, value.c_str(), path_.c_str())) {
    platform::Raise(platform::Format("Unable to write to %s", path_.c_str()));
  }
}

}  // namespace install
