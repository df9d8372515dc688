// ExtractPayload against crafted streams: sound ones, damaged ones, and
// targets that cannot be written.
#include "install/installer.h"
#include "platform/error.h"
#include "platform/paths.h"
#include "tests/install/payload_test_support.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

namespace {

using test::RaisedText;
using test::ReadSample;

class PayloadExtraction : public ::testing::Test {
 protected:
  platform::UniqueModule module_ = test::LoadStreamModule();
  install::Installer installer_{module_.get()};
  test::TempFolder folder_;
  std::string target_ = folder_ / "target.bin";

  bool Extract(const std::string& name) { return installer_.ExtractPayload(target_, name); }
  std::string ExtractRaising(const std::string& name) {
    return RaisedText([&] { Extract(name); });
  }
};

TEST_F(PayloadExtraction, InflatesTheStreamWhateverTheCaseOfTheName) {
  EXPECT_TRUE(Extract("normal"));
  EXPECT_EQ(test::ReadFile(target_), ReadSample("text.txt"));
  EXPECT_TRUE(Extract("NoRmAl"));
  EXPECT_EQ(test::ReadFile(target_), ReadSample("text.txt"));
}

TEST_F(PayloadExtraction, ReplacesALongerExistingFile) {
  test::WriteFile(target_, std::string(100000, 'x'));
  EXPECT_TRUE(Extract("normal"));
  EXPECT_EQ(test::ReadFile(target_), ReadSample("text.txt"));
}

TEST_F(PayloadExtraction, EmptyFileGivesAnEmptyTarget) {
  test::WriteFile(target_, "old content");
  EXPECT_TRUE(Extract("empty"));
  EXPECT_TRUE(platform::FileExists(target_));
  EXPECT_EQ(test::ReadFile(target_), "");
}

TEST_F(PayloadExtraction, BytesAfterTheStreamAreIgnored) {
  EXPECT_TRUE(Extract("trailing"));
  EXPECT_EQ(test::ReadFile(target_), ReadSample("text.txt"));
}

// The stream spans many 65,536-byte input buffers and the file many
// 61,440-byte chunks, ending inside both.
TEST_F(PayloadExtraction, LargeStreamInflatesByteForByte) {
  HRSRC found = FindResourceA(module_.get(), "LARGE", "BINARY");
  ASSERT_NE(found, nullptr);
  EXPECT_GT(SizeofResource(module_.get(), found), 3u * 65536);
  const std::string expected = ReadSample("large.bin");
  ASSERT_GT(expected.size(), 50u * 61440);
  ASSERT_NE(expected.size() % 61440, 0u);

  EXPECT_TRUE(Extract("large"));
  const std::string actual = test::ReadFile(target_);
  ASSERT_EQ(actual.size(), expected.size());
  EXPECT_TRUE(actual == expected) << "content differs";
}

// Damaged streams leave an empty file: an old file has been truncated, and
// what was written before the damage showed (all of a long stream whose
// checksum is wrong) goes again. A valid header that asks for a preset
// dictionary is damage too: no payload comes with one, and the inflater
// would ask again forever.
TEST_F(PayloadExtraction, DamagedStreamsRaiseDataErrorAndLeaveAnEmptyFile) {
  for (const char* name : {"badchecksum", "badheader", "needsdictionary", "largebadchecksum"}) {
    SCOPED_TRACE(name);
    test::WriteFile(target_, "old content");
    EXPECT_EQ(ExtractRaising(name), "data error");
    EXPECT_TRUE(platform::FileExists(target_));
    EXPECT_EQ(test::ReadFile(target_), "");
  }
}

// A stream that stops before its end marker (in its middle, or just before
// the checksum) would install a truncated file: it gives false and no file.
TEST_F(PayloadExtraction, StreamCutShortGivesFalseAndNoFile) {
  for (const char* name : {"truncated", "nochecksum"}) {
    SCOPED_TRACE(name);
    test::WriteFile(target_, "old content");
    EXPECT_FALSE(Extract(name));
    EXPECT_FALSE(platform::FileExists(target_));
  }
}

TEST_F(PayloadExtraction, MissingResourceRaisesBeforeTheTargetIsTouched) {
  EXPECT_EQ(ExtractRaising("nosuchpayload"), "Resource nosuchpayload not found");
  EXPECT_FALSE(platform::FileExists(target_));

  test::WriteFile(target_, "old content");
  EXPECT_EQ(ExtractRaising("nosuchpayload"), "Resource nosuchpayload not found");
  EXPECT_EQ(test::ReadFile(target_), "old content");
}

// The message names the absolute path even when the target was relative.
TEST_F(PayloadExtraction, MissingFolderRaisesWithTheFullPathAndCreatesNothing) {
  const std::string text = RaisedText([&] {
    const test::CurrentFolder here(folder_.path());
    installer_.ExtractPayload("missing\\target.bin", "normal");
  });

  EXPECT_EQ(text, "Cannot create file \"" + (folder_ / "missing\\target.bin") + "\". " +
                      platform::SystemErrorText(ERROR_PATH_NOT_FOUND));
  EXPECT_FALSE(platform::DirectoryExists(folder_ / "missing"));
}

TEST_F(PayloadExtraction, TargetHeldOpenWithoutSharingRaisesTheSharingViolation) {
  test::WriteFile(target_, "held");
  platform::UniqueFile held(CreateFileA(target_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(held);
  const std::string expected = "Cannot create file \"" + target_ + "\". " +
                               platform::SystemErrorText(ERROR_SHARING_VIOLATION);
  EXPECT_NE(platform::SystemErrorText(ERROR_SHARING_VIOLATION), "");
  EXPECT_EQ(ExtractRaising("normal"), expected);
  held.reset();
  EXPECT_EQ(test::ReadFile(target_), "held");
}

}  // namespace
