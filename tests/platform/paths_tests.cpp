#include "platform/paths.h"

#include "platform/text.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <cstring>

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

// A profile folder whose name the code page lacks a character of (a Polish
// name on a Western system): its ANSI spelling names the same folder, by
// short names for what exists and the given names for the rest.
TEST(AnsiSpelling, NamesAFolderTheCodePageCannotSpell) {
  test::TempFolder root;
  const std::wstring parent = platform::AnsiToWide(root.path());
  EXPECT_EQ(platform::AnsiSpelling(parent + L"\\Desktop\\Quorvelle.lnk"),
            root / "Desktop\\Quorvelle.lnk");
  const std::wstring profile = parent + L"\\Micha\u0142";
  if (platform::AnsiToWide(platform::WideToAnsi(profile)) == profile) {
    GTEST_SKIP() << "the code page " << GetACP() << " spells the name";
  }
  EXPECT_EQ(platform::AnsiSpelling(profile + L"\\Desktop"), "") << "nothing of it exists yet";
  ASSERT_TRUE(CreateDirectoryW(profile.c_str(), nullptr));
  const std::string spelled = platform::AnsiSpelling(profile + L"\\Desktop\\Quorvelle.lnk");
  ASSERT_NE(spelled, "");
  EXPECT_TRUE(spelled.ends_with("\\Desktop\\Quorvelle.lnk")) << spelled;
  // Only the level the code page cannot spell takes its short name.
  EXPECT_TRUE(spelled.starts_with(root.path() + "\\")) << spelled;
  EXPECT_EQ(spelled.find('\\', root.path().size() + 1),
            spelled.size() - strlen("\\Desktop\\Quorvelle.lnk"))
      << spelled;
  const std::string folder = spelled.substr(0, spelled.size() - strlen("\\Desktop\\Quorvelle.lnk"));
  EXPECT_TRUE(platform::DirectoryExists(folder)) << folder;
  EXPECT_TRUE(platform::IsSamePath(folder, platform::FolderPrefix(folder)));
  // Made through the spelling, a file lands in the folder of that name.
  test::WriteFile(folder + "\\a.txt", "x");
  EXPECT_NE(GetFileAttributesW((profile + L"\\a.txt").c_str()), INVALID_FILE_ATTRIBUTES);
  DeleteFileW((profile + L"\\a.txt").c_str());
  RemoveDirectoryW(profile.c_str());
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
