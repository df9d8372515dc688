#include "tests/install/payload_test_support.h"

namespace test {

platform::UniqueModule LoadStreamModule(std::source_location at) {
  return LoadDataModule(HostPath(PAYLOAD_TEST_MODULE), at);
}

std::string ReadSample(const std::string& name) {
  return ReadFile(HostPath(std::string(PAYLOAD_SAMPLES_DIR) + "/" + name));
}

}  // namespace test
