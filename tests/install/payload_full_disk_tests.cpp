// A payload larger than the free space of its drive: run by
// payload_full_disk.sh, which maps a 1 MiB file system as the drive named
// in PAYLOAD_SMALL_DRIVE.
#include "install/installer.h"
#include "platform/paths.h"
#include "tests/install/payload_test_support.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TEST(PayloadFullDisk, WriteFailureRaisesAndLeavesThePartlyWrittenFile) {
  const char* drive = std::getenv("PAYLOAD_SMALL_DRIVE");
  if (!drive) GTEST_SKIP() << "needs the small drive payload_full_disk.sh maps";
  const std::string target = std::string(drive) + ":\\large.bin";
  const platform::UniqueModule module = test::LoadStreamModule();
  install::Installer installer(module.get());

  EXPECT_EQ(test::RaisedText([&] { installer.ExtractPayload(target, "large"); }),
            "Stream write error");

  ASSERT_TRUE(platform::FileExists(target));
  const std::string written = test::ReadFile(target);
  const std::string expected = test::ReadSample("large.bin");
  EXPECT_GT(written.size(), 0u);
  EXPECT_LT(written.size(), expected.size());
  EXPECT_TRUE(written == expected.substr(0, written.size())) << "written part differs";
}

}  // namespace
