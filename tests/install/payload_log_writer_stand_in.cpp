// Linked into the payload tests only while the engine has no log writer of
// its own (see tests/CMakeLists.txt): the installer the tests construct
// owns an optional writer, whose destructor must exist. Never used here.
#include "install/log_writer.h"

#include <windows.h>

namespace install {

LogWriter::~LogWriter() {
  // Same release as the engine's writer; the result is not examined.
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, path_.c_str());
}

}  // namespace install
