#include "resources/payload/uninstaller/removal.h"
#include "resources/payload/uninstaller/unattended_removal.h"

#include "platform/text.h"
#include "platform/unique_resource.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

namespace {

using Strings = std::vector<std::string>;

// An installation laid out as the setup program leaves it, in folders of a
// temporary root: the destination, a desktop, and a Start-menu folder.
struct RemovalTest : testing::Test {
  RemovalTest() {
    CreateDirectoryA(installDir.c_str(), nullptr);
    CreateDirectoryA(desktop.c_str(), nullptr);
    CreateDirectoryA(programs.c_str(), nullptr);
    CreateDirectoryA(startMenu.c_str(), nullptr);
    log.shortName = "Quorvelle";
    log.fullName = "Telvarion";
    log.version = "5.0";
    for (const char* name : {"Quorvelle.exe", "Uninstall.exe", "Copyright.txt", "help.txt"}) {
      AddFile(installDir + "\\" + name);
    }
    AddFile(desktop + "\\Quorvelle.lnk");
    AddFile(startMenu + "\\Quorvelle.lnk");
    AddFile(startMenu + "\\Quick help.lnk");
    AddFile(startMenu + "\\Nerovane web page.url");
    AddFile(startMenu + "\\Quorvelle web page.url");
    // Run-time files are logged whether or not the product made them.
    AddFile(installDir + "\\ActLog.txt");
    log.files.push_back(installDir + "\\Channels.ini");
    AddFile(installDir + "\\Users.ini");
    // The link folder form (no backslash), then the Start-menu folder and
    // the destination with theirs.
    log.folders = {startMenu, startMenu + "\\", installDir + "\\"};
    test::WriteFile(installDir + "\\install.log", "[Application]\r\nShortName=Quorvelle\r\n");
    key.SetText("Quorvelle", "DisplayName", "Telvarion");
  }

  void AddFile(const std::string& path) {
    test::WriteFile(path, "made by the installation");
    log.files.push_back(path);
  }

  uninstaller::RemovalReport Remove() {
    return uninstaller::RemoveInstallation(log, installDir, "Uninstall.exe", location);
  }

  bool KeyExists() const {
    platform::UniqueKey opened;
    return RegOpenKeyExA(key.root(), (key.path() + "\\Quorvelle").c_str(), 0, KEY_READ,
                         opened.put()) == ERROR_SUCCESS;
  }

  test::TempFolder root;
  const std::string installDir = root / "Quorvelle";
  const std::string desktop = root / "Desktop";
  const std::string programs = root / "Programs";
  const std::string startMenu = programs + "\\Quorvelle";
  test::ScratchKey key{"UninstallRemoval"};
  const uninstaller::UninstallKeyLocation location{key.root(), key.path()};
  uninstaller::InstallLogContents log;
};

TEST_F(RemovalTest, EverythingLoggedGoesAndNothingElse) {
  const uninstaller::RemovalReport report = Remove();
  EXPECT_TRUE(report.Complete()) << uninstaller::DescribeReport(log, report);
  for (const std::string& file : log.files) EXPECT_FALSE(platform::FileExists(file)) << file;
  EXPECT_FALSE(platform::FileExists(installDir + "\\install.log"));
  EXPECT_FALSE(platform::DirectoryExists(installDir));
  EXPECT_FALSE(platform::DirectoryExists(startMenu));
  EXPECT_FALSE(KeyExists());
  // Folders the installation found in place are not in the log and stay.
  EXPECT_TRUE(platform::DirectoryExists(desktop));
  EXPECT_TRUE(platform::DirectoryExists(programs));
  EXPECT_EQ(uninstaller::DescribeReport(log, report),
            "Telvarion 5.0 was removed from this computer.");
}

TEST_F(RemovalTest, AFolderTheLogDoesNotListStaysEvenWhenEmptied) {
  log.folders = {startMenu + "\\"};  // the destination existed before the installation
  EXPECT_TRUE(Remove().Complete());
  EXPECT_TRUE(platform::DirectoryExists(installDir));
  EXPECT_FALSE(platform::DirectoryExists(startMenu));
}

TEST_F(RemovalTest, FoldersGoWhateverTheirOrderInTheLog) {
  // A product folder inside the destination, logged after it and holding a
  // folder of its own that is logged as well.
  const std::string data = installDir + "\\Data";
  CreateDirectoryA(data.c_str(), nullptr);
  CreateDirectoryA((data + "\\Cache").c_str(), nullptr);
  log.folders = {installDir + "\\", data, startMenu + "\\", data + "\\Cache\\"};
  EXPECT_TRUE(Remove().Complete());
  EXPECT_FALSE(platform::DirectoryExists(installDir));
}

TEST_F(RemovalTest, AUsersFileStaysWithItsFolderAndIsNamed) {
  test::WriteFile(installDir + "\\my notes.txt", "the user's own");
  const uninstaller::RemovalReport report = Remove();

  EXPECT_TRUE(report.files.empty());
  ASSERT_EQ(report.folders.size(), 1u);
  EXPECT_EQ(report.folders[0].path, installDir);
  EXPECT_EQ(report.folders[0].contents, Strings{"my notes.txt"});
  EXPECT_EQ(test::ReadFile(installDir + "\\my notes.txt"), "the user's own");
  for (const std::string& file : log.files) EXPECT_FALSE(platform::FileExists(file)) << file;
  EXPECT_FALSE(platform::FileExists(installDir + "\\install.log"));
  EXPECT_FALSE(platform::DirectoryExists(startMenu));
  EXPECT_FALSE(KeyExists());

  const std::string text = uninstaller::DescribeReport(log, report);
  EXPECT_NE(text.find("except for what is listed here"), std::string::npos) << text;
  EXPECT_NE(text.find(installDir + ": my notes.txt"), std::string::npos) << text;
}

TEST_F(RemovalTest, AFileInUseIsNamedAndEverythingElseGoes) {
  const std::string users = installDir + "\\Users.ini";
  platform::UniqueFile held(CreateFileA(users.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(held);
  const uninstaller::RemovalReport report = Remove();
  held.reset();

  ASSERT_EQ(report.files.size(), 1u);
  EXPECT_EQ(report.files[0].path, users);
  EXPECT_FALSE(report.files[0].reason.empty());
  for (const std::string& file : log.files) {
    if (file == users) continue;
    EXPECT_FALSE(platform::FileExists(file)) << file;
  }
  EXPECT_TRUE(platform::FileExists(users));
  EXPECT_FALSE(platform::FileExists(installDir + "\\install.log"));
  EXPECT_FALSE(platform::FileExists(installDir + "\\Uninstall.exe"));
  EXPECT_FALSE(platform::DirectoryExists(startMenu));
  ASSERT_EQ(report.folders.size(), 1u);
  EXPECT_EQ(report.folders[0].contents, Strings{"Users.ini"});
  EXPECT_FALSE(KeyExists());

  const std::string text = uninstaller::DescribeReport(log, report);
  EXPECT_NE(text.find("These files could not be removed:\n" + users + " ("), std::string::npos)
      << text;
}

TEST_F(RemovalTest, AReadOnlyFileOfTheInstallationGoesToo) {
  const std::string copyright = installDir + "\\Copyright.txt";
  ASSERT_TRUE(SetFileAttributesA(copyright.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_TRUE(Remove().Complete());
  EXPECT_FALSE(platform::FileExists(copyright));
}

TEST_F(RemovalTest, AnEntryThatIsNoFullPathIsLeftAloneAndNamed) {
  test::TempFolder current;
  char previous[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, previous);
  ASSERT_TRUE(SetCurrentDirectoryA(current.path().c_str()));
  test::WriteFile(current / "stray.txt", "not the product's");
  log.files.push_back("stray.txt");
  const uninstaller::RemovalReport report = Remove();
  SetCurrentDirectoryA(previous);

  EXPECT_TRUE(platform::FileExists(current / "stray.txt"));
  ASSERT_EQ(report.files.size(), 1u);
  EXPECT_EQ(report.files[0].path, "stray.txt");
}

TEST_F(RemovalTest, AnUninstallKeyThatIsNotThereIsNoFailure) {
  EXPECT_EQ(uninstaller::RemoveUninstallKey(location, "Quorvelle"), "");
  EXPECT_FALSE(KeyExists());
  EXPECT_EQ(uninstaller::RemoveUninstallKey(location, "Quorvelle"), "");
  EXPECT_TRUE(Remove().Complete());
}

TEST_F(RemovalTest, ASecondRunAfterAnInterruptedOneFinishesTheJob) {
  // Files already gone are fine: the first half of the log removed by hand.
  for (size_t i = 0; i < log.files.size() / 2; ++i) DeleteFileA(log.files[i].c_str());
  EXPECT_TRUE(Remove().Complete());
  EXPECT_FALSE(platform::DirectoryExists(installDir));
}

// An unattended removal reports while the original uninstaller still runs:
// its own file, and its folder holding only that, go after the report.
TEST(UnattendedRemoval, ItsExitCodeCountsWhatStaysOnceTheOriginalHasEnded) {
  using namespace uninstaller;
  const std::string original = "C:\\Apps\\Quorvelle\\Uninstall.exe";
  RemovalReport pending;
  pending.files = {{"C:\\APPS\\Quorvelle\\UNINSTALL.EXE", "in use"}};
  pending.folders = {{"C:\\Apps\\Quorvelle", {"Uninstall.exe"}}};
  EXPECT_EQ(ExitCodeOf(WithoutOriginal(pending, original)), kAllRemoved);

  RemovalReport usersFile = pending;
  usersFile.folders[0].contents.push_back("my notes.txt");
  const RemovalReport kept = WithoutOriginal(usersFile, original);
  EXPECT_EQ(ExitCodeOf(kept), kSomethingKept);
  EXPECT_TRUE(kept.files.empty());
  EXPECT_EQ(kept.folders[0].contents, Strings{"my notes.txt"});

  RemovalReport otherFileInUse = pending;
  otherFileInUse.files.push_back({"C:\\Other\\Uninstall.exe", "in use"});
  EXPECT_EQ(ExitCodeOf(WithoutOriginal(otherFileInUse, original)), kSomethingKept);

  RemovalReport keyStayed = usersFile;
  keyStayed.keyFailure = "Access denied";
  EXPECT_EQ(ExitCodeOf(WithoutOriginal(keyStayed, original)), kRemovalFailed);
}

}  // namespace
