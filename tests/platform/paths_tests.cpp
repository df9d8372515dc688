#include "platform/paths.h"

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

TEST(FullPathName, MakesARelativePathAbsolute) {
  char current[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, current);
  EXPECT_EQ(platform::FullPathName("x.txt"), platform::FolderPrefix(current) + "x.txt");
  EXPECT_EQ(platform::FullPathName("C:\\a\\..\\b.txt"), "C:\\b.txt");
}

// Every destination takes the form of the folder the system makes for it, so
// that the log, the registration and the uninstaller name the same thing.
TEST(ResolvedFolder, TakesTheFormOfTheFolderTheSystemMakes) {
  for (const char* same :
       {"C:\\Program Files\\Quorvelle\\", "C:\\", "C:\\PROGRA~1\\Q<u>o|r\"velle\\",
        "\\\\server\\share\\Quorvelle\\", "C:\\a b\\...x\\"}) {
    EXPECT_EQ(platform::ResolvedFolder(same), same);  // byte for byte
  }
  struct Case {
    const char *typed, *resolved;
  };
  for (const Case& c :
       {Case{"C:\\Program Files\\Quorvelle", "C:\\Program Files\\Quorvelle\\"},
        Case{"C:/Apps/Quorvelle/", "C:\\Apps\\Quorvelle\\"},
        Case{"C:\\Quorvelle2 ", "C:\\Quorvelle2\\"}, Case{"C:\\Quorvelle2 \\", "C:\\Quorvelle2\\"},
        Case{"C:\\Apps. .\\Quorvelle..", "C:\\Apps\\Quorvelle\\"},
        Case{"C:\\Apps\\.\\x\\..\\Quorvelle", "C:\\Apps\\Quorvelle\\"},
        Case{"\\\\server\\share", "\\\\server\\share\\"}}) {
    EXPECT_EQ(platform::ResolvedFolder(c.typed), c.resolved) << c.typed;
  }
}

// Names under which the system would make no folder, or another one: each
// refused, so that nothing is made under them.
TEST(ResolvedFolder, RefusesNamesNoFolderCanBeMadeUnder) {
  for (const char* typed :
       {"C:\\Apps\\NUL", "C:\\Apps\\nul\\", "C:\\Apps\\com1.txt", "C:\\Apps\\LPT9 .log\\x",
        "C:\\CON\\x", "C:\\Apps\\conout$", "C:\\Apps\\COM\xB9", "C:\\x:stream", "C:\\x\\y:z\\w",
        "\\\\?\\C:\\x", "\\\\.\\C:\\x", "   ", "C:\\x\\ . \\y", "C:\\x\\...", ""}) {
    EXPECT_EQ(platform::ResolvedFolder(typed), "") << typed;
  }
  // Names that only begin like a device are folders like any other.
  EXPECT_EQ(platform::ResolvedFolder("C:\\CONSOLE\\COM10\\nulls.txt"),
            "C:\\CONSOLE\\COM10\\nulls.txt\\");
}

}  // namespace
