#include "tests/install/payload_test_support.h"

#include "platform/error.h"
#include "tests/support/test_support.h"

#include <algorithm>

namespace test {

std::string HostPath(const std::string& unixPath) {
  std::string path = "Z:" + unixPath;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

platform::UniqueModule LoadStreamModule() {
  const std::string path = HostPath(PAYLOAD_TEST_MODULE);
  platform::UniqueModule module(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  EXPECT_TRUE(module) << "cannot load " << path << ", error " << GetLastError();
  return module;
}

std::string ReadSample(const std::string& name) {
  return ReadFile(HostPath(std::string(PAYLOAD_SAMPLES_DIR) + "/" + name));
}

std::string RaisedText(const std::function<void()>& action) {
  try {
    action();
  } catch (const platform::SetupError& error) {
    return error.text();
  }
  return "(nothing raised)";
}

}  // namespace test
