#include "platform/text.h"

#include "tests/support/test_support.h"

#include <gtest/gtest.h>

namespace {

TEST(FolderPrefix, AppendsOneBackslashOnlyWhenMissing) {
  EXPECT_EQ(platform::FolderPrefix("C:\\Program Files\\Quorvelle"),
            "C:\\Program Files\\Quorvelle\\");
  EXPECT_EQ(platform::FolderPrefix("C:\\Program Files\\Quorvelle\\"),
            "C:\\Program Files\\Quorvelle\\");
  EXPECT_EQ(platform::FolderPrefix("C:\\"), "C:\\");
  EXPECT_EQ(platform::FolderPrefix(""), "\\");
  EXPECT_EQ(platform::FolderPrefix(" "), " \\");
}

TEST(FolderPrefix, ATrailByteIsNotABackslash) {
  // Only meaningful under a double-byte code page; under others 0x5C is a
  // backslash whatever precedes it.
  const std::string text = "C:\\\x83\x5C";
  const bool doubleByte = IsDBCSLeadByteEx(CP_ACP, 0x83);
  EXPECT_EQ(platform::EndsWithBackslash(text), !doubleByte);
  // A parent folder is never cut inside a character.
  EXPECT_EQ(platform::LastBackslash(text), doubleByte ? 2u : 4u);
}

TEST(ExistenceTests, TellFilesFromFolders) {
  test::TempFolder folder;
  const std::string file = folder / "a.txt";
  test::WriteFile(file, "x");
  EXPECT_TRUE(platform::FileExists(file));
  EXPECT_FALSE(platform::DirectoryExists(file));
  EXPECT_TRUE(platform::DirectoryExists(folder.path()));
  EXPECT_FALSE(platform::FileExists(folder.path()));
  EXPECT_FALSE(platform::FileExists(folder / "missing"));
  EXPECT_FALSE(platform::DirectoryExists(folder / "missing"));
}

TEST(TextConversion, RoundTripsAndReplacesUnmappableCharacters) {
  EXPECT_EQ(platform::WideToAnsi(platform::AnsiToWide("C:\\Quorvelle\\a b.lnk")),
            "C:\\Quorvelle\\a b.lnk");
  EXPECT_EQ(platform::AnsiToWide(""), L"");
  // U+4E2D has no mapping in a Western code page: it becomes the default
  // character, one byte, so the path keeps its shape.
  const std::string converted = platform::WideToAnsi(L"x\u4E2Dy");
  if (GetACP() == 1252) {
    EXPECT_EQ(converted, "x?y");
  }
  EXPECT_EQ(converted.front(), 'x');
  EXPECT_EQ(converted.back(), 'y');
}

TEST(FullPathName, MakesARelativePathAbsolute) {
  char current[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, current);
  EXPECT_EQ(platform::FullPathName("x.txt"), platform::FolderPrefix(current) + "x.txt");
  EXPECT_EQ(platform::FullPathName("C:\\a\\..\\b.txt"), "C:\\b.txt");
}

}  // namespace
