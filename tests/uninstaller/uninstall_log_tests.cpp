#include "uninstaller/uninstall_log.h"

#include "platform/error.h"
#include "platform/unique_resource.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

namespace {

using Strings = std::vector<std::string>;

struct LogReadingTest : testing::Test {
  std::string LogPath() const { return folder / "install.log"; }
  void Write(const char* section, const char* key, const char* value) const {
    ASSERT_TRUE(WritePrivateProfileStringA(section, key, value, LogPath().c_str()));
  }
  void WriteHeader() const {
    Write("Application", "ShortName", "Quorvelle");
    Write("Application", "FullName", "Telvarion");
    Write("Application", "Version", "5.0");
  }
  // Empty when the log was read.
  std::string ReadError() const { return uninstaller::ReadInstallLog(LogPath()).failure(); }

  test::TempFolder folder;
};

TEST_F(LogReadingTest, HeaderAndBothSectionsInNumericKeyOrder) {
  WriteHeader();
  // Written out of order and with gaps: the key numbers decide, as numbers
  // (10 after 9, not after 1), and a missing number stops nothing.
  Write("Files", "10", "C:\\Q\\ten.txt");
  Write("Files", "2", "C:\\Q\\two.txt");
  Write("Files", "1", "C:\\Q\\one.txt");
  Write("Files", "9", "C:\\Q\\nine.txt");
  Write("Folders", "3", "C:\\Q\\");
  Write("Folders", "1", "C:\\Menu\\Quorvelle");
  Write("Folders", "2", "C:\\Menu\\Quorvelle\\");

  const auto read = uninstaller::ReadInstallLog(LogPath());
  ASSERT_FALSE(read.failed()) << read.failure();
  const uninstaller::InstallLogContents& log = *read;
  EXPECT_EQ(log.shortName, "Quorvelle");
  EXPECT_EQ(log.fullName, "Telvarion");
  EXPECT_EQ(log.version, "5.0");
  EXPECT_EQ(log.files,
            (Strings{"C:\\Q\\one.txt", "C:\\Q\\two.txt", "C:\\Q\\nine.txt", "C:\\Q\\ten.txt"}));
  // Both folder forms come back as written.
  EXPECT_EQ(log.folders, (Strings{"C:\\Menu\\Quorvelle", "C:\\Menu\\Quorvelle\\", "C:\\Q\\"}));
}

TEST_F(LogReadingTest, KeysThatAreNotNumbersAndEmptyValuesAreLeftOut) {
  test::WriteFile(LogPath(),
                  "[Application]\r\nShortName=Quorvelle\r\n"
                  "[Files]\r\n2=C:\\Q\\b.txt\r\nnote=C:\\Windows\\win.ini\r\n3=\r\n"
                  "1x=C:\\Q\\x\r\n-1=C:\\Q\\minus\r\n1=C:\\Q\\a.txt\r\n");
  const auto read = uninstaller::ReadInstallLog(LogPath());
  ASSERT_FALSE(read.failed()) << read.failure();
  const uninstaller::InstallLogContents& log = *read;
  EXPECT_EQ(log.files, (Strings{"C:\\Q\\a.txt", "C:\\Q\\b.txt"}));
  EXPECT_TRUE(log.folders.empty());
  EXPECT_EQ(log.fullName, "Quorvelle");  // no FullName: the short name names it
}

TEST_F(LogReadingTest, AManyEntryLogIsReadWhole) {
  std::string text = "[Application]\r\nShortName=Quorvelle\r\n[Files]\r\n";
  for (int i = 1; i <= 3000; ++i) {
    text += std::to_string(i) + "=C:\\Quorvelle\\a rather long folder name\\file" +
            std::to_string(i) + ".txt\r\n";
  }
  test::WriteFile(LogPath(), text);
  const Strings files = uninstaller::ReadNumberedSection(LogPath(), "Files");
  ASSERT_EQ(files.size(), 3000u);
  EXPECT_EQ(files.back(), "C:\\Quorvelle\\a rather long folder name\\file3000.txt");
}

TEST_F(LogReadingTest, AMissingEmptyHeaderlessOrLockedLogIsRefused) {
  EXPECT_EQ(ReadError(),
            "The install log " + LogPath() + " was not found, so nothing was removed.");

  test::WriteFile(LogPath(), "");
  EXPECT_EQ(ReadError(), "The install log " + LogPath() +
                             " does not describe an installation, so nothing was removed.");

  test::WriteFile(LogPath(), "[Files]\r\n1=C:\\Q\\a.txt\r\n");
  EXPECT_NE(ReadError().find("does not describe an installation"), std::string::npos);

  // A short name that would reach beyond the product's own uninstall key.
  test::WriteFile(LogPath(), "[Application]\r\nShortName=..\\Other\r\n");
  EXPECT_NE(ReadError().find("does not describe an installation"), std::string::npos);

  WriteHeader();
  platform::UniqueFile held(CreateFileA(LogPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(held);
  const std::string error = ReadError();
  EXPECT_EQ(error.rfind("The install log " + LogPath() + " cannot be read (", 0), 0u) << error;
  held.reset();
  EXPECT_EQ(ReadError(), "");
}

}  // namespace
