#include "install/installer.h"
#include "install/link_folder.h"

#include "platform/com.h"
#include "platform/error.h"
#include "platform/text.h"
#include "tests/support/test_support.h"

#include <shlobj.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

TEST(LinkFolder, CutsAfterTheLastSeparatorAndKeepsOnlyARootsBackslash) {
  EXPECT_EQ(install::LinkFolder("C:\\Menu\\Quorvelle\\Quorvelle.lnk"), "C:\\Menu\\Quorvelle");
  EXPECT_EQ(install::LinkFolder("\\Quorvelle\\Quorvelle.lnk"), "\\Quorvelle");
  EXPECT_EQ(install::LinkFolder("C:\\Quorvelle.lnk"), "C:\\");
  EXPECT_EQ(install::LinkFolder("\\Quorvelle.lnk"), "\\");
  EXPECT_EQ(install::LinkFolder("C:x.lnk"), "C:");
  EXPECT_EQ(install::LinkFolder("x.lnk"), "");
  EXPECT_EQ(install::LinkFolder(""), "");
  EXPECT_EQ(install::LinkFolder("C:\\a\\\\x.lnk"), "C:\\a\\\\");
  EXPECT_EQ(install::LinkFolder("\\\\server\\share\\x.lnk"), "\\\\server\\share");
  EXPECT_EQ(install::LinkFolder("C:\\Menu\\"), "C:\\Menu");
}

TEST(LinkFolder, ATrailByteIsNeitherBackslashNorColon) {
  // Under code page 932, 0x83 0x5C is one character whose second byte is the
  // backslash's code, and 0x83 0x3A one that ends in the colon's.
  ASSERT_TRUE(IsDBCSLeadByteEx(932, 0x83));
  EXPECT_EQ(install::LinkFolder("C:\\a\x83\x5Cx.lnk", 932), "C:\\");
  EXPECT_EQ(install::LinkFolder("C:\\a\\\x83\x5C\\x.lnk", 932), "C:\\a\\\x83\x5C");
  EXPECT_EQ(install::LinkFolder("C:\\a\x83\x3Ax.lnk", 932), "C:\\");
  EXPECT_EQ(install::LinkFolder("\x83\x5Cx.lnk", 932), "");
  // The same bytes under a single-byte code page are ordinary separators.
  EXPECT_EQ(install::LinkFolder("C:\\a\x83\x5Cx.lnk", 1252), "C:\\a\x83");
}

// What a saved link holds, read back through the shell-link object.
struct SavedLink {
  std::string path, workingFolder, arguments, description, iconPath;
  int iconIndex = -1;
};

SavedLink LoadLink(const std::wstring& linkPath) {
  SavedLink saved;
  platform::ComPtr<IShellLinkA> link;
  platform::ComPtr<IPersistFile> file;
  EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                             link.put_void()),
            S_OK);
  if (!link) return saved;
  EXPECT_EQ(link->QueryInterface(IID_IPersistFile, file.put_void()), S_OK);
  EXPECT_EQ(file->Load(linkPath.c_str(), STGM_READ), S_OK);
  char text[MAX_PATH];
  const auto read = [&](HRESULT result) { return result == S_OK ? std::string(text) : "<failed>"; };
  saved.path = read(link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH));
  saved.workingFolder = read(link->GetWorkingDirectory(text, MAX_PATH));
  saved.arguments = read(link->GetArguments(text, MAX_PATH));
  saved.description = read(link->GetDescription(text, MAX_PATH));
  saved.iconPath = read(link->GetIconLocation(text, MAX_PATH, &saved.iconIndex));
  return saved;
}

// The values of one section of a profile file, in the file's order.
Strings SectionValues(const std::string& profile, const char* section) {
  char buffer[4096] = {};
  GetPrivateProfileSectionA(section, buffer, sizeof buffer, profile.c_str());
  Strings values;
  for (const char* entry = buffer; *entry; entry += strlen(entry) + 1) values.push_back(entry);
  return values;
}

// An installer with its log begun in one temporary folder and links made in
// another, with the shell's notifications recorded.
struct ShellLinkFixture : testing::Test {
  ShellLinkFixture() {
    installer.InstallDir = logFolder.path() + "\\";
    installer.BeginLog();
  }
  Strings Files() const { return SectionValues(installer.InstallLog->path(), "Files"); }
  Strings Folders() const { return SectionValues(installer.InstallLog->path(), "Folders"); }
  void Create(const std::wstring& linkPath, const std::string& arguments = "") {
    installer.CreateShellLink("C:\\Program Files\\Quorvelle\\",
                              "C:\\Program Files\\Quorvelle\\Quorvelle.exe", arguments, linkPath,
                              "Telvarion", "C:\\Program Files\\Quorvelle\\Quorvelle.exe", 0);
  }

  platform::ComApartment com;
  test::RecordingShell shell;
  test::TempFolder logFolder;
  test::TempFolder links;
  install::Installer installer;
};

TEST_F(ShellLinkFixture, TheLinkHoldsWhatWasSetAndReadsBack) {
  const std::string linkPath = links / "Quick help.lnk";
  installer.CreateShellLink("C:\\Work dir\\", "C:\\Program Files\\Quorvelle\\help.txt",
                            "-a \"b c\"", platform::AnsiToWide(linkPath), "Quick help",
                            "C:\\Icons\\set.dll", 7);
  const SavedLink saved = LoadLink(platform::AnsiToWide(linkPath));
  EXPECT_EQ(saved.path, "C:\\Program Files\\Quorvelle\\help.txt");
  EXPECT_EQ(saved.workingFolder, "C:\\Work dir\\");
  EXPECT_EQ(saved.arguments, "-a \"b c\"");
  EXPECT_EQ(saved.description, "Quick help");
  EXPECT_EQ(saved.iconPath, "C:\\Icons\\set.dll");
  EXPECT_EQ(saved.iconIndex, 7);
}

TEST_F(ShellLinkFixture, AnExistingFolderIsNotLoggedButAnnounced) {
  const std::string linkPath = links / "Quorvelle.lnk";
  Create(platform::AnsiToWide(linkPath));
  EXPECT_TRUE(platform::FileExists(linkPath));
  EXPECT_EQ(LoadLink(platform::AnsiToWide(linkPath)).arguments, "");
  EXPECT_EQ(Files(), Strings{"1=" + linkPath});
  EXPECT_EQ(Folders(), Strings{});
  EXPECT_EQ(shell.notified, Strings{links.path()});
}

TEST_F(ShellLinkFixture, AMissingFolderIsCreatedAndLoggedBeforeTheLink) {
  const std::string folder = links / "Quorvelle";
  Create(platform::AnsiToWide(folder + "\\Quorvelle.lnk"));
  Create(platform::AnsiToWide(folder + "\\Quick help.lnk"));
  EXPECT_TRUE(platform::DirectoryExists(folder));
  EXPECT_TRUE(platform::FileExists(folder + "\\Quorvelle.lnk"));
  EXPECT_TRUE(platform::FileExists(folder + "\\Quick help.lnk"));
  EXPECT_EQ(Folders(), Strings{"1=" + folder});
  EXPECT_EQ(Files(),
            (Strings{"1=" + folder + "\\Quorvelle.lnk", "2=" + folder + "\\Quick help.lnk"}));
  EXPECT_EQ(shell.notified, (Strings{folder, folder}));
}

TEST_F(ShellLinkFixture, AFolderThatCannotBeMadeIsStillLoggedAndAnnounced) {
  const std::string folder = links / "missing\\Quorvelle";
  const std::string linkPath = folder + "\\Quorvelle.lnk";
  EXPECT_NO_THROW(Create(platform::AnsiToWide(linkPath)));
  EXPECT_FALSE(platform::DirectoryExists(links / "missing"));
  EXPECT_FALSE(platform::FileExists(linkPath));
  EXPECT_EQ(Folders(), Strings{"1=" + folder});
  EXPECT_EQ(Files(), Strings{"1=" + linkPath});
  EXPECT_EQ(shell.notified, Strings{folder});
}

TEST_F(ShellLinkFixture, ALinkNameOutsideTheAnsiCodePageIsSavedExactlyAndLoggedConverted) {
  const std::wstring linkPath = platform::AnsiToWide(links.path()) + L"\\\u4E2D\u0436.lnk";
  BOOL usedDefault = FALSE;
  WideCharToMultiByte(CP_ACP, 0, linkPath.c_str(), -1, nullptr, 0, nullptr, &usedDefault);
  ASSERT_TRUE(usedDefault) << "the name must not be representable in code page " << GetACP();

  Create(linkPath);
  EXPECT_NE(GetFileAttributesW(linkPath.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(LoadLink(linkPath).description, "Telvarion");
  EXPECT_EQ(Files(), Strings{"1=" + platform::WideToAnsi(linkPath)});
  EXPECT_EQ(shell.notified, Strings{links.path()});
}

TEST_F(ShellLinkFixture, AFolderNameOutsideTheAnsiCodePageIsLoggedAndAnnouncedConverted) {
  const std::wstring folder = platform::AnsiToWide(links.path()) + L"\\\u4E2D";
  const std::wstring linkPath = folder + L"\\Quorvelle.lnk";
  Create(linkPath);
  // The converted folder name holds the code page's default character, which
  // no folder can be made with: the link cannot be saved, yet both are logged.
  EXPECT_EQ(Folders(), Strings{"1=" + platform::WideToAnsi(folder)});
  EXPECT_EQ(Files(), Strings{"1=" + platform::WideToAnsi(linkPath)});
  EXPECT_EQ(shell.notified, Strings{platform::WideToAnsi(folder)});
}

std::string RaisedText(const std::function<void()>& action) {
  try {
    action();
  } catch (const platform::SetupError& error) {
    return error.text();
  }
  return "<nothing raised>";
}

TEST_F(ShellLinkFixture, AnObjectThatCannotBeCreatedRaisesWithTheClassAndWritesNothing) {
  const std::string linkPath = links / "Quorvelle.lnk";
  const char* const classId = ", ClassID: {00021401-0000-0000-C000-000000000046}";
  shell.createFailure = E_OUTOFMEMORY;
  ASSERT_NE(platform::SystemErrorText(E_OUTOFMEMORY), "");
  EXPECT_EQ(RaisedText([&] { Create(platform::AnsiToWide(linkPath)); }),
            platform::SystemErrorText(E_OUTOFMEMORY) + classId);

  // A code the system has no text for is shown as eight hexadecimal digits.
  shell.createFailure = static_cast<HRESULT>(0xA0DE0F01);
  ASSERT_EQ(platform::SystemErrorText(0xA0DE0F01), "");
  EXPECT_EQ(RaisedText([&] { Create(platform::AnsiToWide(links / "sub\\Quorvelle.lnk")); }),
            std::string("OLE error a0de0f01") + classId);

  EXPECT_FALSE(platform::FileExists(linkPath));
  EXPECT_FALSE(platform::DirectoryExists(links / "sub"));
  EXPECT_EQ(Files(), Strings{});
  EXPECT_EQ(Folders(), Strings{});
  EXPECT_EQ(installer.NextFileIndex, 1);
  EXPECT_EQ(installer.NextFolderIndex, 1);
  EXPECT_EQ(shell.notified, Strings{});
}

}  // namespace
