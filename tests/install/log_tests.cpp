#include "install/installer.h"

#include "platform/error.h"
#include "platform/paths.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>
#include <optional>

#include <vector>

namespace {

using Kind = install::LogEntryKind;

const std::string kHeader =
    "[Application]\r\nShortName=Quorvelle\r\nFullName=Telvarion\r\nVersion=5.0\r\n";

// An installer whose destination is a fresh temporary folder.
struct LogFixture : testing::Test {
  LogFixture() { installer.SetInstallDir(folder.path() + "\\"); }
  std::string LogPath() const { return folder / "install.log"; }

  test::TempFolder folder;
  install::Installer installer;
};

TEST_F(LogFixture, HeaderThenFilesAndFoldersNumberedApartInTheOrderWritten) {
  installer.BeginLog();
  installer.AddLogEntry(Kind::File, "C:\\Q\\Quorvelle.exe");
  installer.AddLogEntry(Kind::Folder, "C:\\Menu\\Quorvelle\\");
  installer.AddLogEntry(Kind::File, "C:\\Q\\Uninstall.exe");
  installer.AddLogEntry(Kind::Folder, "C:\\Q\\");
  EXPECT_EQ(installer.NextFileIndex(), 3);
  EXPECT_EQ(installer.NextFolderIndex(), 3);
  installer.ReleaseLog();
  EXPECT_FALSE(installer.InstallLog());

  EXPECT_EQ(test::ReadFile(LogPath()), kHeader +
                                           "[Files]\r\n"
                                           "1=C:\\Q\\Quorvelle.exe\r\n"
                                           "2=C:\\Q\\Uninstall.exe\r\n"
                                           "[Folders]\r\n"
                                           "1=C:\\Menu\\Quorvelle\\\r\n"
                                           "2=C:\\Q\\\r\n");
}

TEST_F(LogFixture, ARewrittenKeyKeepsItsPlace) {
  installer.BeginLog();
  installer.AddLogEntry(Kind::File, "first");
  installer.AddLogEntry(Kind::File, "second");
  installer.ResetLogCounters();
  installer.AddLogEntry(Kind::File, "again");
  installer.ReleaseLog();
  EXPECT_EQ(test::ReadFile(LogPath()), kHeader + "[Files]\r\n1=again\r\n2=second\r\n");
}

TEST_F(LogFixture, OtherKindsWriteNothing) {
  installer.BeginLog();
  installer.AddLogEntry(static_cast<Kind>(2), "C:\\x");
  installer.AddLogEntry(static_cast<Kind>(-1), "C:\\y");
  EXPECT_EQ(installer.NextFileIndex(), 1);
  EXPECT_EQ(installer.NextFolderIndex(), 1);
  installer.ReleaseLog();
  EXPECT_EQ(test::ReadFile(LogPath()), kHeader);
}

TEST_F(LogFixture, AnOlderLogIsDeletedAndKeysStartAtOne) {
  test::WriteFile(LogPath(), "[Files]\r\n1=C:\\old.exe\r\n2=C:\\older.exe\r\n[Extra]\r\nx=y\r\n");
  installer.BeginLog();
  installer.AddLogEntry(Kind::File, "C:\\new.exe");
  installer.ReleaseLog();
  EXPECT_EQ(test::ReadFile(LogPath()), kHeader + "[Files]\r\n1=C:\\new.exe\r\n");
}

TEST_F(LogFixture, NothingIsWrittenBeforeTheLogIsBegun) {
  installer.ResetLogCounters();
  installer.ReleaseLog();
  EXPECT_FALSE(platform::FileExists(LogPath()));
}

TEST_F(LogFixture, AFolderThatCannotHoldTheLogRaisesAndKeepsTheCounters) {
  // A log taken up to file 4 and folder 7 first, then begun again elsewhere.
  installer.BeginLog();
  for (int i = 0; i < 3; ++i) installer.AddLogEntry(Kind::File, "C:\\f");
  for (int i = 0; i < 6; ++i) installer.AddLogEntry(Kind::Folder, "C:\\d");
  const std::string path = folder / "missing\\install.log";
  installer.SetInstallDir(folder / "missing\\");
  EXPECT_EQ(test::RaisedText([&] { installer.BeginLog(); }), "Unable to write to " + path);
  for (const auto kind : {Kind::File, Kind::Folder}) {
    EXPECT_EQ(test::RaisedText([&] { installer.AddLogEntry(kind, "C:\\x"); }),
              "Unable to write to " + path);
  }
  EXPECT_EQ(installer.NextFileIndex(), 4);
  EXPECT_EQ(installer.NextFolderIndex(), 7);
  installer.ReleaseLog();
  EXPECT_FALSE(platform::FileExists(path));
}

// The read-only destination the test run provides (see readonly_folder.sh),
// as a Wine path through Z:, the host's root; empty when there is none.
std::string ReadOnlyFolder() {
  char unixPath[MAX_PATH] = {};
  if (!GetEnvironmentVariableA("SETUP_READONLY_FOLDER", unixPath, MAX_PATH)) return {};
  const std::string folder = test::HostPath(unixPath);
  const std::string probe = folder + "\\probe.txt";
  if (!platform::UniqueFile(
          CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr))) {
    return platform::DirectoryExists(folder) ? folder : "";
  }
  DeleteFileA(probe.c_str());
  return {};
}

TEST_F(LogFixture, AReadOnlyDestinationRaisesAndKeepsTheCounters) {
  const std::string folder = ReadOnlyFolder();
  if (folder.empty()) GTEST_SKIP() << "no read-only folder: bind mounts not permitted here";
  const std::string path = folder + "\\install.log";
  const std::string before = test::ReadFile(path);
  installer.SetInstallDir(folder + "\\");
  EXPECT_EQ(test::RaisedText([&] { installer.BeginLog(); }), "Unable to write to " + path);
  EXPECT_THROW(installer.AddLogEntry(Kind::File, "C:\\x"), platform::SetupError);
  EXPECT_THROW(installer.AddLogEntry(Kind::Folder, "C:\\x"), platform::SetupError);
  EXPECT_EQ(installer.NextFileIndex(), 1);
  EXPECT_EQ(installer.NextFolderIndex(), 1);
  installer.ReleaseLog();
  // The old log could not be deleted either; that is not reported.
  EXPECT_EQ(test::ReadFile(path), before);
}

}  // namespace

// A destination typed as a relative path: the log lies in that folder, not
// in the Windows folder where the profile writer looks for relative names.
TEST(InstallLogPath, ARelativeDestinationKeepsItsLogBesideItsFiles) {
  test::TempFolder folder;
  std::string logPath;
  {
    const test::CurrentFolder inFolder(folder.path());
    ASSERT_TRUE(CreateDirectoryA("relative", nullptr));
    install::Installer installer;
    installer.SetInstallDir("relative\\");
    installer.BeginLog();
    installer.AddLogEntry(Kind::File, "relative\\Quorvelle.exe");
    logPath = installer.InstallLog()->path();
  }
  EXPECT_EQ(logPath, folder / "relative\\install.log");
  EXPECT_NE(test::ReadFile(folder / "relative\\install.log").find("1=relative\\Quorvelle.exe"),
            std::string::npos);
}

// A destination longer than the system's paths allow: the log is refused
// with its own error before the profile writer sees the path, and nothing is
// written anywhere, not in the current folder either.
TEST(InstallLogPath, ADestinationBeyondMaxPathRaisesAndWritesNothing) {
  test::TempFolder folder;
  std::optional<test::CurrentFolder> inFolder(std::in_place, folder.path());
  install::Installer installer;
  std::string tooLong = folder.path();
  while (tooLong.size() < MAX_PATH) tooLong += "\\Quorvelle";
  installer.SetInstallDir(tooLong + "\\");
  const std::string path = installer.InstallDir() + "install.log";
  const std::string raised = test::RaisedText([&] { installer.BeginLog(); });
  EXPECT_THROW(installer.AddLogEntry(Kind::File, "C:\\x"), platform::SetupError);
  installer.ReleaseLog();
  inFolder.reset();
  EXPECT_EQ(raised, "Unable to write to " + path);
  EXPECT_EQ(installer.NextFileIndex(), 1);
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA((folder / "*").c_str(), &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  std::vector<std::string> names;
  do {
    names.emplace_back(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  EXPECT_EQ(names, (std::vector<std::string>{".", ".."}));
}
