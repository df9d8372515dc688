#include "install/internet_shortcut.h"

#include "install/installer.h"
#include "platform/error.h"
#include "platform/paths.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

const std::string kUrl20 = "https://qv.example/a";                          // 20 characters
const std::string kIcon40 = "C:\\Program Files\\Quorvelle\\Quorvelle.exe";  // 40 characters

TEST(InternetShortcutText, FourLinesWithoutAnIconFile) {
  ASSERT_EQ(kUrl20.size(), 20u);
  const std::string text = install::InternetShortcutText(kUrl20, "", 5);
  EXPECT_EQ(text,
            "[DEFAULT]\r\nBASEURL=https://qv.example/a\r\n"
            "[InternetShortcut]\r\nURL=https://qv.example/a\r\n");
  EXPECT_EQ(text.size(), 87u);
}

TEST(InternetShortcutText, IndexBeforeFileWhenThereIsAnIconFile) {
  ASSERT_EQ(kIcon40.size(), 40u);
  const std::string text = install::InternetShortcutText(kUrl20, kIcon40, 1);
  EXPECT_EQ(text,
            "[DEFAULT]\r\nBASEURL=https://qv.example/a\r\n"
            "[InternetShortcut]\r\nURL=https://qv.example/a\r\n"
            "IconIndex=1\r\nIconFile=C:\\Program Files\\Quorvelle\\Quorvelle.exe\r\n");
  EXPECT_EQ(text.size(), 151u);
}

TEST(InternetShortcutText, NegativeIndexAndEmptyAddress) {
  EXPECT_EQ(install::InternetShortcutText("", "C:\\q.exe", -12),
            "[DEFAULT]\r\nBASEURL=\r\n[InternetShortcut]\r\nURL=\r\n"
            "IconIndex=-12\r\nIconFile=C:\\q.exe\r\n");
}

// Values of one section of the install log, in the file's order.
struct InternetShortcutFixture : testing::Test {
  InternetShortcutFixture() {
    installer.SetInstallDir(logFolder.path() + "\\");
    installer.BeginLog();
  }
  Strings Files() const { return test::ProfileSection(installer.InstallLog()->path(), "Files"); }

  test::RecordingShell shell;
  test::TempFolder logFolder;
  test::TempFolder menu;
  install::Installer installer;
};

TEST_F(InternetShortcutFixture, TheFileHoldsExactlyTheTextAndIsLoggedAndAnnounced) {
  installer.CreateInternetShortcut(menu.path(), "Nerovane web page", kUrl20, kIcon40, 1);
  const std::string fileName = menu / "Nerovane web page.url";
  EXPECT_EQ(test::ReadFile(fileName), install::InternetShortcutText(kUrl20, kIcon40, 1));
  EXPECT_EQ(test::ReadFile(fileName).size(), 151u);
  EXPECT_EQ(Files(), Strings{"1=" + fileName});
  EXPECT_EQ(shell.notified, Strings{menu.path() + "\\"});

  installer.CreateInternetShortcut(menu.path(), "Quorvelle web page", kUrl20, "", 0);
  EXPECT_EQ(test::ReadFile(menu / "Quorvelle web page.url").size(), 87u);
}

TEST_F(InternetShortcutFixture, AFolderWithOrWithoutItsBackslashNamesTheSameFile) {
  installer.CreateInternetShortcut(menu.path(), "page", "https://a.example", "", 0);
  installer.CreateInternetShortcut(menu.path() + "\\", "page", "https://b.example", "", 0);
  const std::string fileName = menu / "page.url";
  EXPECT_EQ(test::ReadFile(fileName), install::InternetShortcutText("https://b.example", "", 0));
  EXPECT_EQ(Files(), (Strings{"1=" + fileName, "2=" + fileName}));
  EXPECT_EQ(shell.notified, (Strings{menu.path() + "\\", menu.path() + "\\"}));
}

TEST_F(InternetShortcutFixture, ALongerExistingFileIsReplacedEntirely) {
  const std::string fileName = menu / "page.url";
  test::WriteFile(fileName, std::string(500, 'x'));
  installer.CreateInternetShortcut(menu.path(), "page", "", "C:\\q.exe", -3);
  EXPECT_EQ(test::ReadFile(fileName), install::InternetShortcutText("", "C:\\q.exe", -3));
  EXPECT_EQ(Files(), Strings{"1=" + fileName});
}

TEST_F(InternetShortcutFixture, AMissingFolderRaisesWithTheAbsoluteNameAndLeavesNoTrace) {
  const auto raised = [&](const std::string& folder) {
    return test::RaisedText(
        [&] { installer.CreateInternetShortcut(folder, "page", kUrl20, "", 0); });
  };
  const std::string reason = platform::SystemErrorText(ERROR_PATH_NOT_FOUND);
  ASSERT_NE(reason, "");
  EXPECT_EQ(raised(menu / "missing"),
            "Cannot create file \"" + menu / "missing\\page.url" + "\". " + reason);

  // A relative folder is reported against the current directory.
  char current[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, current);
  EXPECT_EQ(raised("qst-no-such-folder"), "Cannot create file \"" +
                                              platform::FolderPrefix(current) +
                                              "qst-no-such-folder\\page.url\". " + reason);

  EXPECT_FALSE(platform::FileExists(menu / "missing\\page.url"));
  EXPECT_EQ(Files(), Strings{});
  EXPECT_EQ(installer.NextFileIndex(), 1);
  EXPECT_EQ(shell.notified, Strings{});
}

TEST_F(InternetShortcutFixture, ALogThatCannotBeWrittenRaisesAfterTheFileWasWritten) {
  installer.SetInstallDir(logFolder / "missing\\");  // a log that cannot be written
  EXPECT_THROW(installer.BeginLog(), platform::SetupError);
  EXPECT_THROW(installer.CreateInternetShortcut(menu.path(), "page", kUrl20, "", 0),
               platform::SetupError);
  // Closed before the log entry was tried: the file can be opened without
  // sharing, and holds the whole text.
  EXPECT_EQ(test::ReadFile(menu / "page.url"), install::InternetShortcutText(kUrl20, "", 0));
  EXPECT_EQ(shell.notified, Strings{});
}

}  // namespace
