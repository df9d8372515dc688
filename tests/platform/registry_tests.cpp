#include "platform/registry.h"

#include "platform/error.h"
#include "tests/support/raw_registry_value.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

platform::UniqueKey OpenScratch(const test::ScratchKey& scratch) {
  return platform::OpenKey(scratch.root(), scratch.path(), KEY_READ);
}

TEST(QueryTextValue, FindsTextUpToItsFirstNul) {
  test::ScratchKey scratch("QueryText");
  scratch.SetText("", "Plain", "C:\\Program Files");
  scratch.SetText("", "Expand", "%SystemDrive%\\Apps", REG_EXPAND_SZ);
  scratch.SetValue("", "TwoParts", REG_SZ, "C:\\A\0C:\\B", 10);
  scratch.SetValue("", "NoNul", REG_SZ, "abc", 3);
  auto key = OpenScratch(scratch);
  ASSERT_TRUE(key);
  EXPECT_EQ(platform::QueryTextValue(key.get(), "Plain"), "C:\\Program Files");
  EXPECT_EQ(platform::QueryTextValue(key.get(), "Expand"), "%SystemDrive%\\Apps");
  EXPECT_EQ(platform::QueryTextValue(key.get(), "TwoParts"), "C:\\A");
  EXPECT_EQ(platform::QueryTextValue(key.get(), "NoNul"), "abc");
}

TEST(QueryTextValue, AnEmptyTextIsFoundButSizeZeroAndOtherTypesAreNot) {
  test::ScratchKey scratch("QueryEmpty");
  scratch.SetText("", "Empty", "");
  scratch.SetValue("", "SizeZero", REG_SZ, "", 0);
  const DWORD number = 7;
  scratch.SetValue("", "Number", REG_DWORD, &number, sizeof number);
  scratch.SetValue("", "Binary", REG_BINARY, "C:\\", 4);
  auto key = OpenScratch(scratch);
  ASSERT_TRUE(key);
  EXPECT_EQ(platform::QueryTextValue(key.get(), "Empty"), "");
  EXPECT_EQ(platform::QueryTextValue(key.get(), "SizeZero"), std::nullopt);
  EXPECT_EQ(platform::QueryTextValue(key.get(), "Number"), std::nullopt);
  EXPECT_EQ(platform::QueryTextValue(key.get(), "Binary"), std::nullopt);
  EXPECT_EQ(platform::QueryTextValue(key.get(), "Missing"), std::nullopt);
  // The UTF-16 read, for the paths of a profile, finds the same.
  EXPECT_EQ(platform::QueryWideTextValue(key.get(), "Empty"), L"");
  EXPECT_EQ(platform::QueryWideTextValue(key.get(), "SizeZero"), std::nullopt);
  EXPECT_EQ(platform::QueryWideTextValue(key.get(), "Number"), std::nullopt);
  EXPECT_EQ(platform::QueryWideTextValue(key.get(), "Binary"), std::nullopt);
  EXPECT_EQ(platform::QueryWideTextValue(key.get(), "Missing"), std::nullopt);
  EXPECT_EQ(platform::QueryValueType(key.get(), "Number"), REG_DWORD);
  EXPECT_EQ(platform::QueryValueType(key.get(), "Missing"), std::nullopt);
}

TEST(OpenKey, AMissingKeyGivesAnEmptyOwner) {
  test::ScratchKey scratch("OpenMissing");
  EXPECT_FALSE(platform::OpenKey(scratch.root(), scratch.path() + "\\Nowhere", KEY_READ));
}

TEST(ShellFolderReader, ReadsTextValuesUnexpanded) {
  test::ScratchKey scratch("ShellFolders");
  scratch.SetText("Shell Folders", "Desktop", "C:\\users\\me\\Desktop");
  scratch.SetText("Shell Folders", "Programs", "%APPDATA%\\Programs", REG_EXPAND_SZ);
  platform::ShellFolderReader reader(scratch.root(), scratch.path());
  EXPECT_EQ(reader.Read("Desktop"), "C:\\users\\me\\Desktop");
  EXPECT_EQ(reader.Read("Programs"), "%APPDATA%\\Programs");
  EXPECT_EQ(reader.ReadWide("Desktop"), L"C:\\users\\me\\Desktop");
  EXPECT_EQ(reader.ReadWide("Programs"), L"%APPDATA%\\Programs");
}

// A profile's name the code page lacks a character of comes whole.
TEST(ShellFolderReader, ReadsAWideValueWhole) {
  test::ScratchKey scratch("ShellFoldersWide");
  const std::wstring desktop = L"C:\\users\\Micha\u0142\\Desktop";
  platform::UniqueKey folders;
  ASSERT_EQ(
      RegCreateKeyExW(
          scratch.root(),
          (std::wstring(scratch.path().begin(), scratch.path().end()) + L"\\Shell Folders").c_str(),
          0, nullptr, 0, KEY_ALL_ACCESS, nullptr, folders.put(), nullptr),
      ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExW(folders.get(), L"Desktop", 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(desktop.c_str()),
                           static_cast<DWORD>((desktop.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
  platform::ShellFolderReader reader(scratch.root(), scratch.path());
  EXPECT_EQ(reader.ReadWide("Desktop"), desktop);
  EXPECT_EQ(platform::QueryWideTextValue(folders.get(), "Desktop"), desktop);
}

TEST(ShellFolderReader, MissingKeySubkeyOrValueReadsEmpty) {
  test::ScratchKey scratch("ShellFoldersMissing");
  {
    // The reader creates its key when missing; the subkey is still missing.
    platform::ShellFolderReader reader(scratch.root(), scratch.path());
    EXPECT_EQ(reader.Read("Desktop"), "");
    EXPECT_TRUE(platform::OpenKey(scratch.root(), scratch.path(), KEY_READ));
  }
  scratch.SetText("Shell Folders", "Programs", "P");
  platform::ShellFolderReader reader(scratch.root(), scratch.path());
  EXPECT_EQ(reader.Read("Desktop"), "");
}

TEST(ShellFolderReader, ANonTextValueRaisesNamingIt) {
  test::ScratchKey scratch("ShellFoldersNumber");
  const DWORD number = 1;
  scratch.SetValue("Shell Folders", "Desktop", REG_DWORD, &number, sizeof number);
  platform::ShellFolderReader reader(scratch.root(), scratch.path());
  EXPECT_EQ(test::RaisedText([&] { reader.Read("Desktop"); }), "Invalid data type for 'Desktop'");
  EXPECT_EQ(test::RaisedText([&] { reader.ReadWide("Desktop"); }),
            "Invalid data type for 'Desktop'");
}

TEST(RegistryValueWriter, StoresTextWithOneZeroByteAndNumbersAsFourBytes) {
  test::ScratchKey scratch("Writer");
  auto writer = platform::RegistryValueWriter::OpenOrCreate(scratch.root(), scratch.path());
  ASSERT_TRUE(writer);
  writer->SetText("DisplayName", "Telvarion");
  writer->SetText("Contact", "");
  writer->SetNumber("VersionMajor", 0x01020305);
  EXPECT_EQ(test::ReadRawValue(scratch, "", "DisplayName"), test::Text("Telvarion"));
  EXPECT_EQ(test::ReadRawValue(scratch, "", "Contact"), test::Text(""));
  EXPECT_EQ(test::ReadRawValue(scratch, "", "VersionMajor"), test::Number(0x01020305));
}

TEST(RegistryValueWriter, KeepsOtherValuesOfAnExistingKey) {
  test::ScratchKey scratch("WriterExisting");
  scratch.SetText("", "Other", "stays");
  auto writer = platform::RegistryValueWriter::OpenOrCreate(scratch.root(), scratch.path());
  ASSERT_TRUE(writer);
  writer->SetText("DisplayName", "x");
  auto key = OpenScratch(scratch);
  EXPECT_EQ(platform::QueryTextValue(key.get(), "Other"), "stays");
}

TEST(RegistryValueWriter, AKeyThatCannotBeCreatedGivesNoWriter) {
  test::ScratchKey scratch("WriterRefused");
  // A lasting key may not be created below a volatile one: the system refuses
  // it as it refuses a user without rights to the machine's keys. (Wine does
  // not check a parent handle's access rights, so that case is not usable.)
  ASSERT_TRUE(test::ReplaceByVolatileKey(scratch.root(), scratch.path()));
  EXPECT_FALSE(
      platform::RegistryValueWriter::OpenOrCreate(scratch.root(), scratch.path() + "\\Child"));
  EXPECT_FALSE(platform::OpenKey(scratch.root(), scratch.path() + "\\Child", KEY_READ));
}

TEST(RegistryValueWriter, AValueThatCannotBeWrittenRaisesNamingIt) {
  test::ScratchKey scratch("WriterFails");
  auto writer = platform::RegistryValueWriter::OpenOrCreate(scratch.root(), scratch.path());
  ASSERT_TRUE(writer);
  // A value name longer than the registry allows is refused by the system.
  const std::string tooLong(20000, 'n');
  EXPECT_EQ(test::RaisedText([&] { writer->SetText(tooLong.c_str(), "x"); }),
            "Failed to set data for '" + tooLong + "'");
}

}  // namespace
