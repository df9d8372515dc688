// The whole installation, run in-process against real files in a temporary
// folder, "Shell Folders" values and an uninstall key in scratch registry
// keys, and payload modules of the tests' own. Documents opened at the end
// are recorded, never opened.
#include "install/installer.h"
#include "install/destination_guard.h"

#include "platform/com.h"
#include "platform/error.h"
#include "platform/known_folders.h"
#include "platform/registry.h"
#include "platform/security.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "platform/unique_resource.h"
#include "product/product_definition.h"
#include "tests/support/raw_registry_value.h"
#include "tests/support/test_support.h"

#include <aclapi.h>
#include <sddl.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

using Strings = std::vector<std::string>;
using test::Number;
using test::RawValue;
using test::Text;

const std::string kHeader =
    "[Application]\r\nShortName=Quorvelle\r\nFullName=Telvarion\r\nVersion=5.0\r\n";

// What the sample behind one payload resource holds.
std::string Sample(const char* resourceName) {
  return test::ReadFile(
      test::HostPath(std::string(INSTALLATION_SAMPLES) + "/" + resourceName + ".sample"));
}

// The log's text: header, then [Files] and [Folders] numbered from 1.
std::string LogText(const Strings& files, const Strings& folders) {
  std::string text = kHeader;
  if (!files.empty()) text += "[Files]\r\n";
  for (size_t i = 0; i < files.size(); ++i) text += std::to_string(i + 1) + "=" + files[i] + "\r\n";
  if (!folders.empty()) text += "[Folders]\r\n";
  for (size_t i = 0; i < folders.size(); ++i) {
    text += std::to_string(i + 1) + "=" + folders[i] + "\r\n";
  }
  return text;
}

Strings Payloads(const std::string& dir) {
  return {dir + "Quorvelle.exe", dir + "Uninstall.exe", dir + "Copyright.txt", dir + "help.txt"};
}

Strings RuntimeFiles(const std::string& dir) {
  return {dir + "ActLog.txt", dir + "Channels.ini", dir + "FileSharing.ini", dir + "OfflineMsg.ini",
          dir + "Users.ini"};
}

Strings operator+(Strings first, const Strings& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

std::string PublisherUrlFile(const std::string& installDir) {
  return "[DEFAULT]\r\nBASEURL=https://www.nerovane.example\r\n"
         "[InternetShortcut]\r\nURL=https://www.nerovane.example\r\n"
         "IconIndex=1\r\nIconFile=" +
         installDir + "Quorvelle.exe\r\n";
}

const std::string kProductUrlFile =
    "[DEFAULT]\r\nBASEURL=https://quorvelle.nerovane.example\r\n"
    "[InternetShortcut]\r\nURL=https://quorvelle.nerovane.example\r\n";

// The target a saved link points at, read back through the shell-link object.
std::string LinkTarget(const std::string& linkPath) {
  const test::SavedLink saved = test::ReadLink(platform::AnsiToWide(linkPath));
  return saved.loaded ? saved.path : "(no link at " + linkPath + ")";
}

// Answers the option boxes and counts the error dialog.
class FakeHost : public install::InstallationHost {
 public:
  bool DeskIconChecked() override { return desk; }
  bool StartIconChecked() override { return start; }
  bool RunProgramChecked() override { return run; }
  void ShowDecompressionError() override { ++decompressionErrors; }
  HWND OwnerWindow() override { return owner; }
  // Records each report; asks to stop once `stopAt` bytes are done.
  bool PayloadProgress(unsigned long long done, unsigned long long total) override {
    progress.push_back({done, total});
    return done < stopAt;
  }

  bool desk = true, start = true, run = true;
  int decompressionErrors = 0;
  std::vector<std::pair<unsigned long long, unsigned long long>> progress;
  unsigned long long stopAt = ~0ull;
  HWND owner = GetDesktopWindow();
};

class Installation : public testing::Test {
 protected:
  Installation() {
    CreateDirectoryA(desktop_.c_str(), nullptr);
    CreateDirectoryA(programs_.c_str(), nullptr);
    scratch_.SetText("Explorer\\Shell Folders", "Desktop", desktop_);
    scratch_.SetText("Explorer\\Shell Folders", "Programs", programs_);
  }

  install::RegistryLocations Locations() const {
    return {scratch_.root(), scratch_.path() + "\\Explorer", scratch_.root(),
            scratch_.path() + "\\Uninstall\\Quorvelle"};
  }

  // One installation of the given module into `folderText`; the log is
  // released afterwards as the closing window does. A fully qualified text
  // becomes InstallDir byte for byte; others name `resolvedDir`.
  bool Install(const std::string& folderText, const char* module = INSTALLATION_PAYLOADS,
               const std::string& resolvedDir = {}) {
    const platform::UniqueModule payloads = test::LoadDataModule(test::HostPath(module));
    install::Installer installer(payloads.get(), Locations(), [this] { return elevated_; });
    installer.SetBeforeMakingDestination(beforeMakingDestination_);
    const bool result = installer.RunInstallation(folderText, host_);
    EXPECT_EQ(installer.InstallDir(),
              resolvedDir.empty() ? platform::FolderPrefix(folderText) : resolvedDir);
    installer.ReleaseLog();
    return result;
  }

  // The text of the error an installation raised; "(nothing raised)" when none.
  std::string InstallRaising(const std::string& folderText) {
    return test::RaisedText([&] { Install(folderText); });
  }

  RawValue Uninstall(const char* name) const {
    return test::ReadRawValue(scratch_, "Uninstall\\Quorvelle", name);
  }

  std::string Log(const std::string& installDir) const {
    return test::ReadFile(installDir + "install.log");
  }
  // The log of an installation into `dir` with the desktop icon off.
  std::string LogWithoutDesktopIcon(const std::string& dir) const {
    return LogText(
        Payloads(dir) +
            Strings{startMenu_ + "Quorvelle.lnk", startMenu_ + "Quick help.lnk",
                    startMenu_ + "Nerovane web page.url", startMenu_ + "Quorvelle web page.url"} +
            RuntimeFiles(dir),
        {startMenu_});
  }

  void ExpectPayloadsInstalled(const std::string& installDir) const {
    EXPECT_EQ(test::ReadFile(installDir + "Quorvelle.exe"), Sample("QUORVELLE"));
    EXPECT_EQ(test::ReadFile(installDir + "Uninstall.exe"), Sample("UNINSTALL"));
    EXPECT_EQ(test::ReadFile(installDir + "Copyright.txt"), Sample("COPYRIGHT"));
    EXPECT_EQ(test::ReadFile(installDir + "help.txt"), Sample("HELP"));
  }

  // "file in folder, show command" for each document asked to be opened,
  // after checking that the host's window owns it.
  Strings Opened() const {
    Strings opened;
    for (const auto& document : shell_.opened) {
      EXPECT_EQ(document.owner, host_.owner) << document.file;
      opened.push_back(document.file + " in " + document.folder + ", " +
                       std::to_string(document.showCommand));
    }
    return opened;
  }

  std::string OpenedText(const std::string& file, const std::string& installDir) const {
    return installDir + file + " in " + installDir + ", " + std::to_string(SW_SHOWNORMAL);
  }

  platform::ComApartment apartment_;
  test::TempFolder root_;
  const std::string desktop_ = root_ / "Desktop";
  const std::string programs_ = root_ / "Programs";
  const std::string startMenu_ = programs_ + "\\Quorvelle\\";
  // One key per test: CTest runs the tests in parallel processes.
  test::ScratchKey scratch_{std::string("Installation.") +
                            testing::UnitTest::GetInstance()->current_test_info()->name()};
  test::RecordingShell shell_;
  FakeHost host_;
  bool elevated_ = false;  // Wine runs every program elevated: the tests decide
  std::function<void()> beforeMakingDestination_;
};

TEST_F(Installation, AllOptionsIntoANewFolder) {
  const std::string dir = root_ / "Apps\\Quorvelle\\";
  ASSERT_TRUE(Install(root_ / "Apps\\Quorvelle"));

  EXPECT_EQ(Log(dir), kHeader +
                          "[Files]\r\n"
                          "1=" +
                          dir +
                          "Quorvelle.exe\r\n"
                          "2=" +
                          dir +
                          "Uninstall.exe\r\n"
                          "3=" +
                          dir +
                          "Copyright.txt\r\n"
                          "4=" +
                          dir +
                          "help.txt\r\n"
                          "5=" +
                          desktop_ +
                          "\\Quorvelle.lnk\r\n"
                          "6=" +
                          startMenu_ +
                          "Quorvelle.lnk\r\n"
                          "7=" +
                          startMenu_ +
                          "Quick help.lnk\r\n"
                          "8=" +
                          startMenu_ +
                          "Nerovane web page.url\r\n"
                          "9=" +
                          startMenu_ +
                          "Quorvelle web page.url\r\n"
                          "10=" +
                          dir +
                          "ActLog.txt\r\n"
                          "11=" +
                          dir +
                          "Channels.ini\r\n"
                          "12=" +
                          dir +
                          "FileSharing.ini\r\n"
                          "13=" +
                          dir +
                          "OfflineMsg.ini\r\n"
                          "14=" +
                          dir +
                          "Users.ini\r\n"
                          "[Folders]\r\n"
                          "1=" +
                          startMenu_ +
                          "\r\n"
                          "2=" +
                          dir + "\r\n");
  ExpectPayloadsInstalled(dir);
  EXPECT_EQ(LinkTarget(desktop_ + "\\Quorvelle.lnk"), dir + "Quorvelle.exe");
  EXPECT_EQ(LinkTarget(startMenu_ + "Quorvelle.lnk"), dir + "Quorvelle.exe");
  EXPECT_EQ(LinkTarget(startMenu_ + "Quick help.lnk"), dir + "help.txt");
  EXPECT_EQ(test::ReadFile(startMenu_ + "Nerovane web page.url"), PublisherUrlFile(dir));
  EXPECT_EQ(test::ReadFile(startMenu_ + "Quorvelle web page.url"), kProductUrlFile);
  EXPECT_FALSE(platform::FileExists(dir + "Nerovane web page.url"));
  EXPECT_EQ(Uninstall("UninstallPath"), Text(dir));
  EXPECT_EQ(Opened(), (Strings{OpenedText("Quorvelle.exe", dir), OpenedText("help.txt", dir)}));
  EXPECT_EQ(host_.decompressionErrors, 0);
}

TEST_F(Installation, StartMenuIconsOffIntoAnExistingFolder) {
  const std::string dir = root_ / "Existing\\";
  CreateDirectoryA(dir.c_str(), nullptr);
  test::WriteFile(dir + "Quorvelle.exe", "an older, longer main program than the new one");
  host_.start = false;
  ASSERT_TRUE(Install(root_ / "Existing"));

  // No [Folders] section: the folder was there and no Start-menu folder was made.
  EXPECT_EQ(Log(dir),
            LogText(Payloads(dir) +
                        Strings{desktop_ + "\\Quorvelle.lnk", dir + "Nerovane web page.url",
                                dir + "Quorvelle web page.url"} +
                        RuntimeFiles(dir),
                    {}));
  ExpectPayloadsInstalled(dir);
  EXPECT_EQ(test::ReadFile(dir + "Nerovane web page.url"), PublisherUrlFile(dir));
  EXPECT_EQ(test::ReadFile(dir + "Quorvelle web page.url"), kProductUrlFile);
  EXPECT_FALSE(platform::DirectoryExists(startMenu_));
}

TEST_F(Installation, DesktopIconOffLeavesTheStartMenuSteps) {
  const std::string dir = root_ / "Existing\\";
  CreateDirectoryA(dir.c_str(), nullptr);
  host_.desk = false;
  ASSERT_TRUE(Install(dir));

  EXPECT_EQ(Log(dir), LogWithoutDesktopIcon(dir));
  EXPECT_FALSE(platform::FileExists(desktop_ + "\\Quorvelle.lnk"));
  EXPECT_EQ(LinkTarget(startMenu_ + "Quorvelle.lnk"), dir + "Quorvelle.exe");
}

TEST_F(Installation, LaunchOffStillOpensTheHelpText) {
  const std::string dir = root_ / "Quorvelle\\";
  host_.run = false;
  ASSERT_TRUE(Install(dir));

  EXPECT_EQ(Opened(), Strings{OpenedText("help.txt", dir)});
  EXPECT_EQ(Log(dir),
            LogText(Payloads(dir) +
                        Strings{desktop_ + "\\Quorvelle.lnk", startMenu_ + "Quorvelle.lnk",
                                startMenu_ + "Quick help.lnk", startMenu_ + "Nerovane web page.url",
                                startMenu_ + "Quorvelle web page.url"} +
                        RuntimeFiles(dir),
                    {startMenu_, dir}));
}

TEST_F(Installation, ADeepDestinationIsMadeLevelByLevelAndLoggedOnceLast) {
  const std::string dir = root_ / "a\\b c\\d\\Quorvelle\\";
  host_.desk = host_.start = false;
  ASSERT_TRUE(Install(dir));

  for (const char* level : {"a", "a\\b c", "a\\b c\\d", "a\\b c\\d\\Quorvelle"}) {
    EXPECT_TRUE(platform::DirectoryExists(root_ / level)) << level;
  }
  EXPECT_EQ(Log(dir),
            LogText(Payloads(dir) +
                        Strings{dir + "Nerovane web page.url", dir + "Quorvelle web page.url"} +
                        RuntimeFiles(dir),
                    {dir}));
  ExpectPayloadsInstalled(dir);
}

// A destination that depends on the current folder or drive is resolved
// once, at the start: everything recorded names it whole, so the product's
// uninstaller, started from anywhere, finds what to remove.
TEST_F(Installation, ADestinationTypedRelativeIsRecordedByItsFullPath) {
  const test::CurrentFolder here(root_.path());
  const std::string drive = root_.path().substr(0, 2);  // "C:"
  struct Case {
    std::string typed, dir;
  };
  for (const Case& c : {Case{"Apps\\Quorvelle", root_ / "Apps\\Quorvelle\\"},
                        Case{root_.path().substr(2) + "\\Rooted", root_ / "Rooted\\"},
                        Case{drive + "OnTheDrive", root_ / "OnTheDrive\\"}}) {
    SCOPED_TRACE(c.typed);
    ASSERT_TRUE(Install(c.typed, INSTALLATION_PAYLOADS, c.dir));
    EXPECT_NE(Log(c.dir).find("\r\n1=" + c.dir + "Quorvelle.exe\r\n"), std::string::npos);
    EXPECT_NE(Log(c.dir).find("[Folders]\r\n1=" + startMenu_ + "\r\n2=" + c.dir + "\r\n"),
              std::string::npos);
    EXPECT_EQ(LinkTarget(desktop_ + "\\Quorvelle.lnk"), c.dir + "Quorvelle.exe");
    EXPECT_EQ(test::ReadFile(startMenu_ + "Nerovane web page.url"), PublisherUrlFile(c.dir));
    EXPECT_EQ(Uninstall("UninstallString"), Text("\"" + c.dir + "Uninstall.exe\""));
    EXPECT_EQ(Uninstall("InstallLocation"), Text(c.dir));
  }
}

// A destination spelled in a way the system reads as another is installed
// into, logged and registered as the folder the system makes, so that the
// uninstaller finds every entry.
TEST_F(Installation, ADestinationIsRecordedAsTheFolderTheSystemMakes) {
  std::string slashed = root_ / "Slashed\\Quorvelle";
  std::replace(slashed.begin(), slashed.end(), '\\', '/');
  for (const auto& [typed, dir] :
       {std::pair{slashed, root_ / "Slashed\\Quorvelle\\"},
        std::pair{root_ / "Trimmed. \\Quorvelle ", root_ / "Trimmed\\Quorvelle\\"}}) {
    SCOPED_TRACE(typed);
    ASSERT_TRUE(Install(typed, INSTALLATION_PAYLOADS, dir));
    EXPECT_NE(Log(dir).find("\r\n1=" + dir + "Quorvelle.exe\r\n"), std::string::npos);
    EXPECT_NE(Log(dir).find("\r\n2=" + dir + "\r\n"), std::string::npos);
    EXPECT_EQ(Uninstall("InstallLocation"), Text(dir));
    ExpectPayloadsInstalled(dir);
  }
}

// A name the system reads as a device or a file's stream is refused with the
// log's error before any level of the destination is made.
TEST_F(Installation, ADeviceOrStreamNameIsRefusedBeforeAnythingIsMade) {
  for (const std::string& typed : {root_ / "Apps\\NUL", root_ / "Apps\\com1.txt\\Quorvelle",
                                   root_ / "Apps:stream\\Quorvelle"}) {
    EXPECT_EQ(InstallRaising(typed), "Unable to write to " + typed + "\\install.log");
    EXPECT_FALSE(platform::DirectoryExists(root_ / "Apps")) << typed;
    EXPECT_TRUE(shell_.opened.empty());
  }
}

// A "Shell Folders" value in UTF-16, as a profile the code page cannot
// spell holds it.
void SetWideShellFolder(const test::ScratchKey& scratch, const wchar_t* name,
                        const std::wstring& folder) {
  platform::UniqueKey key;
  ASSERT_EQ(
      RegOpenKeyExW(scratch.root(),
                    (platform::AnsiToWide(scratch.path()) + L"\\Explorer\\Shell Folders").c_str(),
                    0, KEY_SET_VALUE, key.put()),
      ERROR_SUCCESS);
  ASSERT_EQ(
      RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                     static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t))),
      ERROR_SUCCESS);
}

// A desktop in a profile whose name the code page lacks a character of
// (Wine keeps short names): the link lands there and the log names it by
// the spelling that reaches it. A folder no spelling reaches is refused
// before anything is made.
TEST_F(Installation, ADesktopTheCodePageCannotSpellGetsItsLinkOrARefusal) {
  host_.start = false;
  const std::wstring profile = platform::AnsiToWide(root_.path()) + L"\\Micha\u0142";
  if (platform::AnsiToWide(platform::WideToAnsi(profile)) == profile) {
    GTEST_SKIP() << "the code page " << GetACP() << " spells the name";
  }
  SetWideShellFolder(scratch_, L"Desktop", profile + L"\\Desktop");
  const std::string refusedDir = root_ / "Refused\\Quorvelle";
  EXPECT_EQ(
      InstallRaising(refusedDir),
      "The folder " + platform::WideToAnsi(profile) +
          "\\Desktop has a name that this system's code page cannot write into install.log, so "
          "nothing was installed. Ask an administrator to turn on short file names for its "
          "drive");
  EXPECT_FALSE(platform::DirectoryExists(root_ / "Refused"));

  ASSERT_TRUE(CreateDirectoryW(profile.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW((profile + L"\\Desktop").c_str(), nullptr));
  const std::string dir = root_ / "Spelled\\Quorvelle\\";
  ASSERT_TRUE(Install(dir));
  const std::string link = platform::AnsiSpelling(profile + L"\\Desktop\\Quorvelle.lnk");
  ASSERT_NE(link, "");
  EXPECT_NE(GetFileAttributesW((profile + L"\\Desktop\\Quorvelle.lnk").c_str()),
            INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(Log(dir).find("5=" + link + "\r\n"), std::string::npos) << Log(dir);
  DeleteFileW((profile + L"\\Desktop\\Quorvelle.lnk").c_str());
  RemoveDirectoryW((profile + L"\\Desktop").c_str());
  RemoveDirectoryW(profile.c_str());
}

// With administrator rights the product and help.txt are started as the
// desktop's user, or not at all; without them, as they were.
TEST_F(Installation, ElevatedTheDocumentsOpenAsTheDesktopsUserOrNotAtAll) {
  host_.desk = host_.start = false;
  elevated_ = true;
  const std::string dir = root_ / "Guarded\\Quorvelle\\";
  ASSERT_TRUE(Install(dir));
  ASSERT_EQ(shell_.opened.size(), 2u);
  EXPECT_EQ(shell_.opened[0].file, dir + "Quorvelle.exe");
  EXPECT_EQ(shell_.opened[1].file, dir + "help.txt");
  EXPECT_EQ(shell_.opened[1].owner, nullptr);  // through the desktop's shell

  shell_.opened.clear();
  shell_.desktopShellReached = false;
  ASSERT_TRUE(Install(dir));
  EXPECT_TRUE(shell_.opened.empty());

  elevated_ = false;
  ASSERT_TRUE(Install(root_ / "Plain\\Quorvelle"));
  EXPECT_EQ(Opened(), (Strings{OpenedText("Quorvelle.exe", root_ / "Plain\\Quorvelle\\"),
                               OpenedText("help.txt", root_ / "Plain\\Quorvelle\\")}));
}

// The list the top-most new level of an elevated installation is made
// with. (Wine keeps no list on its folders, so it is read here, as built.)
// With administrator rights the top-most new level is made by the call that
// checks it is new: a folder another program makes there after the check is
// refused, not used without the checks and the protected list.
TEST_F(Installation, ElevatedAFolderMadeBetweenTheCheckAndItsMakingIsRefused) {
  const std::string dir = root_ / "Raced\\";
  elevated_ = true;
  beforeMakingDestination_ = [&] { CreateDirectoryA(dir.c_str(), nullptr); };
  EXPECT_EQ(InstallRaising(dir), "Cannot install into " + platform::WithoutTrailingBackslash(dir) +
                                     ": another program made it while it was being checked");
  EXPECT_FALSE(platform::FileExists(dir + "install.log"));
  elevated_ = false;
  RemoveDirectoryA(dir.c_str());
  EXPECT_TRUE(Install(dir)) << "without administrator rights the folder is the user's own";
}

// With administrator rights a file at a target is deleted and made anew: a
// second name of another file planted there (a hard link, which any user
// may make to a file of their own) is not written through.
TEST_F(Installation, ElevatedAFilePlantedAtATargetIsReplacedNotWrittenThrough) {
  const std::string dir = root_ / "Quorvelle\\";
  ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
  const std::string victim = root_ / "victim.txt";
  test::WriteFile(victim, "another user's file");
  ASSERT_TRUE(CreateHardLinkA((dir + "Quorvelle.exe").c_str(), victim.c_str(), nullptr));
  elevated_ = true;
  ASSERT_TRUE(Install(dir));
  EXPECT_EQ(test::ReadFile(victim), "another user's file");
  EXPECT_EQ(test::ReadFile(dir + "Quorvelle.exe"), Sample("QUORVELLE"));
}

TEST(DestinationGuard, TheNewFoldersListIsProtectedAndGivesUsersReadAndRun) {
  const platform::UniqueLocalMemory descriptor = platform::ProtectedFolderSecurity();
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  ASSERT_TRUE(GetSecurityDescriptorControl(descriptor.get(), &control, &revision));
  EXPECT_TRUE(control & SE_DACL_PROTECTED);
  BOOL present = FALSE, defaulted = FALSE;
  PACL dacl = nullptr;
  ASSERT_TRUE(GetSecurityDescriptorDacl(descriptor.get(), &present, &dacl, &defaulted));
  ASSERT_TRUE(present && dacl);
  Strings entries;
  for (WORD i = 0; i < dacl->AceCount; ++i) {
    void* ace = nullptr;
    ASSERT_TRUE(GetAce(dacl, i, &ace));
    const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
    char* sid = nullptr;
    ASSERT_TRUE(ConvertSidToStringSidA(const_cast<DWORD*>(&allowed->SidStart), &sid));
    const platform::UniqueLocalMemory ownedSid(sid);
    entries.push_back(platform::Format("%d %s %lx %x", allowed->Header.AceType, sid, allowed->Mask,
                                       allowed->Header.AceFlags));
  }
  EXPECT_EQ(entries,
            (Strings{"0 S-1-5-18 1f01ff 3", "0 S-1-5-32-544 1f01ff 3", "0 S-1-5-32-545 1200a9 3"}));
}

// An elevated installation refuses, naming the folder and why, a destination
// another user could have prepared or that leads elsewhere.
TEST(DestinationGuard, RefusesALinkOnTheWayAndAForeignOwner) {
  const std::string folder = "C:\\Apps\\Quorvelle\\";
  using Facts = install::DestinationFacts;
  const install::ExistingLevel apps{"C:\\Apps", false, true};
  const install::ExistingLevel product{"C:\\Apps\\Quorvelle", false, true};
  EXPECT_EQ(install::DestinationRefusal(folder, Facts{{apps}, false}), "");
  EXPECT_EQ(install::DestinationRefusal(folder, Facts{{apps, product}, true}), "");
  EXPECT_EQ(install::DestinationRefusal(folder, Facts{{apps, {product.path, false, false}}, true}),
            "Cannot install into C:\\Apps\\Quorvelle: it belongs to another user");
  EXPECT_EQ(install::DestinationRefusal(folder, Facts{{apps, {product.path, true, true}}, true}),
            "Cannot install into C:\\Apps\\Quorvelle: it is a junction or symbolic link");
  EXPECT_EQ(install::DestinationRefusal(folder, Facts{{{apps.path, true, true}}, false}),
            "Cannot install into C:\\Apps\\Quorvelle: it lies under C:\\Apps, a junction or "
            "symbolic link");
  // The owner of a parent may rename the product's folder and put another
  // in its place: a parent another user owns is refused, whether the
  // destination exists yet or not.
  const install::ExistingLevel foreignApps{apps.path, false, false};
  for (const Facts& facts : {Facts{{foreignApps}, false}, Facts{{foreignApps, product}, true}}) {
    EXPECT_EQ(install::DestinationRefusal(folder, facts),
              "Cannot install into C:\\Apps\\Quorvelle: it lies under C:\\Apps, which belongs "
              "to another user");
  }
}

TEST(DestinationGuard, TrustsOnlyOwnersNoOtherUserCanBe) {
  const auto sid = [](const char* text) {
    PSID raw = nullptr;
    EXPECT_TRUE(ConvertStringSidToSidA(text, &raw)) << text;
    return platform::UniqueLocalMemory(raw);
  };
  const platform::UniqueLocalMemory self = sid("S-1-5-21-1-2-3-1001");
  for (const char* trusted : {"S-1-5-32-544", "S-1-5-18", "S-1-5-21-1-2-3-1001",
                              "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464"}) {
    EXPECT_TRUE(platform::IsTrustedOwner(sid(trusted).get(), self.get())) << trusted;
  }
  for (const char* foreign : {"S-1-5-32-545", "S-1-1-0", "S-1-5-11", "S-1-5-21-1-2-3-1002"}) {
    EXPECT_FALSE(platform::IsTrustedOwner(sid(foreign).get(), self.get())) << foreign;
  }
}

// The facts are read level by level down to the first that is missing.
TEST_F(Installation, TheDestinationsFactsStopAtTheFirstMissingLevel) {
  ASSERT_TRUE(CreateDirectoryA((root_ / "a").c_str(), nullptr));
  const install::DestinationFacts facts = install::ReadDestinationFacts(root_ / "a\\b\\c\\");
  ASSERT_FALSE(facts.existingLevels.empty());
  // Every existing level, each owned by this user, who made it or runs here.
  EXPECT_EQ(facts.existingLevels.back(), (install::ExistingLevel{root_ / "a", false, true}));
  for (const install::ExistingLevel& level : facts.existingLevels) {
    EXPECT_TRUE(level.trustedOwner) << level.path;
  }
  EXPECT_FALSE(facts.exists);
  const install::DestinationFacts own = install::ReadDestinationFacts(root_ / "a\\");
  EXPECT_TRUE(own.exists);
  EXPECT_TRUE(own.existingLevels.back().trustedOwner);
}

TEST_F(Installation, AnOldLogIsDeletedAndTheKeysStartAgainAtOne) {
  const std::string dir = root_ / "Existing\\";
  CreateDirectoryA(dir.c_str(), nullptr);
  std::string old = kHeader + "[Files]\r\n";
  for (int key = 1; key <= 20; ++key)
    old += std::to_string(key) + "=C:\\old\\" + std::to_string(key) + "\r\n";
  test::WriteFile(dir + "install.log",
                  old + "[Folders]\r\n1=C:\\old\\\r\n2=C:\\older\\\r\n[Extra]\r\nx=y\r\n");
  host_.desk = false;
  ASSERT_TRUE(Install(dir));

  EXPECT_EQ(Log(dir), LogWithoutDesktopIcon(dir));
}

// Installing again into an installation's folder keeps its record: what it
// made and is still there is listed first, once each, and the new
// installation adds only what it makes besides, whatever becomes of it.
TEST_F(Installation, InstallingAgainKeepsTheFirstInstallationsRecord) {
  const std::string dir = root_ / "Apps\\Quorvelle\\";
  ASSERT_TRUE(Install(dir));
  const std::string first = Log(dir);
  ASSERT_TRUE(Install(dir));
  EXPECT_EQ(Log(dir), first) << "the same options again: the same record, the folder too";

  host_.desk = host_.start = false;
  ASSERT_TRUE(Install(dir));
  const Strings firstsLinks{desktop_ + "\\Quorvelle.lnk", startMenu_ + "Quorvelle.lnk",
                            startMenu_ + "Quick help.lnk", startMenu_ + "Nerovane web page.url",
                            startMenu_ + "Quorvelle web page.url"};
  const Strings ownShortcuts{dir + "Nerovane web page.url", dir + "Quorvelle web page.url"};
  EXPECT_EQ(Log(dir), LogText(Payloads(dir) + firstsLinks + ownShortcuts + RuntimeFiles(dir),
                              {startMenu_, dir}));

  EXPECT_FALSE(Install(dir, INSTALLATION_BROKEN_PAYLOADS));
  EXPECT_EQ(Log(dir), LogText(Payloads(dir) + firstsLinks + ownShortcuts, {startMenu_, dir}))
      << "a failed installation still lists everything the earlier ones left";
}

// A file the installation must replace and cannot write now stops it before
// the old log, the folder or the uninstall entry is touched.
TEST_F(Installation, AFileInUseOrReadOnlyStopsItBeforeAnythingChanges) {
  const std::string dir = root_ / "Quorvelle\\";
  ASSERT_TRUE(Install(dir));
  const std::string before = Log(dir);
  scratch_.SetText("Uninstall\\Quorvelle", "InstallDate", "19990101");
  {
    const platform::UniqueFile held(CreateFileA((dir + "help.txt").c_str(), GENERIC_READ, 0,
                                                nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    EXPECT_EQ(InstallRaising(dir),
              "Cannot replace file \"" + dir + "help.txt\". " +
                  platform::SystemErrorText(ERROR_SHARING_VIOLATION) +
                  ". Close Telvarion and any other program that uses the file, then try again.");
  }
  {
    // Open for reading and writing by another program, so that it cannot be
    // deleted but could be written into.
    const platform::UniqueFile held(CreateFileA((dir + "install.log").c_str(), GENERIC_READ,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    EXPECT_EQ(InstallRaising(dir),
              "Cannot replace file \"" + dir + "install.log\". " +
                  platform::SystemErrorText(ERROR_SHARING_VIOLATION) +
                  ". Close Telvarion and any other program that uses the file, then try again.");
  }
  const std::string folderInTheWay = root_ / "InTheWay\\";
  ASSERT_TRUE(CreateDirectoryA(folderInTheWay.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((folderInTheWay + "install.log").c_str(), nullptr));
  EXPECT_EQ(InstallRaising(folderInTheWay),
            "Cannot replace file \"" + folderInTheWay +
                "install.log\": a folder of that name is in the way. Move or remove it, or "
                "choose another folder, then try again.");
  EXPECT_FALSE(platform::FileExists(folderInTheWay + "Quorvelle.exe"));
  SetFileAttributesA((dir + "Copyright.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(InstallRaising(dir), "Cannot replace file \"" + dir +
                                     "Copyright.txt\". The file is read-only. Clear its read-only "
                                     "attribute or choose another folder, then try again.");
  EXPECT_EQ(Log(dir), before);
  EXPECT_EQ(Uninstall("InstallDate"), Text("19990101"));
  SetFileAttributesA((dir + "Copyright.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_TRUE(Install(dir)) << "once the cause is gone";
}

TEST_F(Installation, APayloadFailureOnRowTwoStopsTheInstallation) {
  const std::string dir = root_ / "Quorvelle\\";
  EXPECT_FALSE(Install(dir, INSTALLATION_BROKEN_PAYLOADS));

  EXPECT_EQ(host_.decompressionErrors, 1);
  // Row 1 installed and logged; the cut stream leaves no file; rows 3 and 4
  // are not attempted; the new folder is not logged.
  EXPECT_EQ(Log(dir), LogText({dir + "Quorvelle.exe"}, {}));
  EXPECT_EQ(test::ReadFile(dir + "Quorvelle.exe"), Sample("QUORVELLE"));
  for (const char* file : {"Uninstall.exe", "Copyright.txt", "help.txt", "Nerovane web page.url"}) {
    EXPECT_FALSE(platform::FileExists(dir + file)) << file;
  }
  EXPECT_FALSE(platform::FileExists(desktop_ + "\\Quorvelle.lnk"));
  EXPECT_FALSE(platform::DirectoryExists(startMenu_));
  EXPECT_EQ(Uninstall("DisplayName"), RawValue{});
  EXPECT_TRUE(shell_.opened.empty());
}

// The total is known before anything is inflated (the build records each
// payload's size); a stop asked for while the second payload is written
// leaves the first one and the new folder listed for the uninstaller, and
// nothing of the second, with no error shown and nothing after it made.
TEST_F(Installation, ProgressCountsTheInflatedBytesAndAStopLeavesWhatWasMadeListed) {
  const std::string dir = root_ / "Quorvelle\\";
  size_t total = 0;
  for (const char* name : {"QUORVELLE", "UNINSTALL", "COPYRIGHT", "HELP"}) {
    total += Sample(name).size();
  }
  ASSERT_TRUE(Install(dir));
  ASSERT_EQ(host_.progress.size(), 4u);
  EXPECT_EQ(host_.progress.back(), std::make_pair(0ull + total, 0ull + total));
  EXPECT_EQ(host_.progress.front().first, Sample("QUORVELLE").size());

  const std::string other = root_ / "Stopped\\";
  host_.progress.clear();
  host_.stopAt = Sample("QUORVELLE").size() + 1;
  EXPECT_FALSE(Install(other));

  EXPECT_EQ(host_.progress.size(), 2u);
  EXPECT_EQ(host_.decompressionErrors, 0);
  EXPECT_EQ(Log(other), LogText({other + "Quorvelle.exe"}, {other}));
  EXPECT_FALSE(platform::FileExists(other + "Uninstall.exe"));
  EXPECT_FALSE(platform::FileExists(other + "Copyright.txt"));
  EXPECT_EQ(shell_.opened.size(), 2u) << "the stopped installation opened something";
}

TEST_F(Installation, AnErrorOnTheProductPageShortcutStillRegistersAndStops) {
  const std::string dir = root_ / "Quorvelle\\";
  // A folder by the shortcut file's name: the file cannot be created.
  CreateDirectoryA(startMenu_.c_str(), nullptr);
  CreateDirectoryA((startMenu_ + "Quorvelle web page.url").c_str(), nullptr);
  const std::string raised = InstallRaising(dir);

  EXPECT_EQ(raised.rfind("Cannot create file \"" + startMenu_ + "Quorvelle web page.url\".", 0), 0u)
      << raised;
  EXPECT_EQ(Uninstall("DisplayName"), Text("Telvarion"));
  EXPECT_EQ(Uninstall("UninstallString"), Text("\"" + dir + "Uninstall.exe\""));
  EXPECT_EQ(Uninstall("InstallDate").type, static_cast<DWORD>(REG_SZ));
  // Nothing after the registration: no run-time files, no destination
  // folder entry, no document opened.
  EXPECT_EQ(Log(dir), LogText(Payloads(dir) + Strings{desktop_ + "\\Quorvelle.lnk",
                                                      startMenu_ + "Quorvelle.lnk",
                                                      startMenu_ + "Quick help.lnk",
                                                      startMenu_ + "Nerovane web page.url"},
                              {startMenu_}));
  EXPECT_TRUE(shell_.opened.empty());
}

TEST_F(Installation, ADesktopValueThatIsNotTextIsAnError) {
  const std::string dir = root_ / "Quorvelle\\";
  const DWORD number = 7;
  scratch_.SetValue("Explorer\\Shell Folders", "Desktop", REG_DWORD, &number, sizeof number);
  EXPECT_EQ(InstallRaising(dir), "Invalid data type for 'Desktop'");

  EXPECT_EQ(Log(dir), LogText(Payloads(dir), {}));
  EXPECT_FALSE(platform::DirectoryExists(startMenu_));
  EXPECT_EQ(Uninstall("DisplayName"), Text("Telvarion"));
  EXPECT_TRUE(shell_.opened.empty());
}

// Removes the product's links from the prefix's own desktop and Start menu.
struct SystemFolderLinks {
  SystemFolderLinks()
      : desktopLink(platform::KnownFolderPath(CSIDL_DESKTOPDIRECTORY) + "\\Quorvelle.lnk"),
        startMenu(platform::KnownFolderPath(CSIDL_PROGRAMS) + "\\Quorvelle\\") {
    Remove();
  }
  ~SystemFolderLinks() { Remove(); }
  void Remove() const {
    DeleteFileA(desktopLink.c_str());  // absent before the test: not examined
    test::DeleteTree(startMenu.substr(0, startMenu.size() - 1));
  }
  std::string desktopLink, startMenu;
};

// A missing or empty "Shell Folders" value would put the links at the root
// of the current drive: the system's own folder is used instead.
TEST_F(Installation, MissingOrEmptyShellFoldersFallBackToTheSystemFolders) {
  const SystemFolderLinks system;
  ASSERT_NE(system.desktopLink, "\\Quorvelle.lnk");
  ASSERT_NE(system.startMenu, "\\Quorvelle\\");
  scratch_.SetText("Explorer\\Shell Folders", "Desktop", "");
  {
    const auto key = platform::OpenKey(
        scratch_.root(), scratch_.path() + "\\Explorer\\Shell Folders", KEY_ALL_ACCESS);
    ASSERT_EQ(RegDeleteValueA(key.get(), "Programs"), ERROR_SUCCESS);
  }
  const std::string dir = root_ / "Quorvelle\\";
  ASSERT_TRUE(Install(dir));

  EXPECT_EQ(LinkTarget(system.desktopLink), dir + "Quorvelle.exe");
  EXPECT_EQ(LinkTarget(system.startMenu + "Quick help.lnk"), dir + "help.txt");
  EXPECT_FALSE(platform::FileExists("\\Quorvelle.lnk"));
  EXPECT_FALSE(platform::DirectoryExists("\\Quorvelle"));
  EXPECT_EQ(Log(dir), LogText(Payloads(dir) +
                                  Strings{system.desktopLink, system.startMenu + "Quorvelle.lnk",
                                          system.startMenu + "Quick help.lnk",
                                          system.startMenu + "Nerovane web page.url",
                                          system.startMenu + "Quorvelle web page.url"} +
                                  RuntimeFiles(dir),
                              {system.startMenu, dir}));
}

TEST_F(Installation, RegistersTheSeventeenValuesWithTheirTypesAndBytes) {
  const std::string dir = root_ / "Program Files\\My Apps\\Quorvelle\\";
  const std::string before = test::LocalDateText();
  ASSERT_TRUE(Install(dir));
  const std::string after = test::LocalDateText();

  test::ExpectUninstallEntry(scratch_, "Uninstall\\Quorvelle", dir, before, after);

  // Exactly those seventeen values in a new key.
  const auto key =
      platform::OpenKey(scratch_.root(), scratch_.path() + "\\Uninstall\\Quorvelle", KEY_READ);
  DWORD values = 0;
  ASSERT_EQ(RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             &values, nullptr, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(values, 17u);
}

TEST_F(Installation, ASecondInstallationRewritesTheEntryAndKeepsOtherValues) {
  scratch_.SetText("Uninstall\\Quorvelle", "EstimatedSize", "from another program");
  const std::string first = root_ / "First\\";
  const std::string second = root_ / "Second place\\";
  ASSERT_TRUE(Install(first));
  ASSERT_TRUE(Install(second));

  EXPECT_EQ(Uninstall("EstimatedSize"), Text("from another program"));
  EXPECT_EQ(Uninstall("DisplayIcon"), Text(second + "Quorvelle.exe,0"));
  EXPECT_EQ(Uninstall("UninstallPath"), Text(second));
  EXPECT_EQ(Uninstall("UninstallString"), Text("\"" + second + "Uninstall.exe\""));
  EXPECT_EQ(Uninstall("InstallLocation"), Text(second));
  EXPECT_EQ(Uninstall("DisplayName"), Text("Telvarion"));
  EXPECT_EQ(Uninstall("VersionMajor"), Number(5));
  // Each folder keeps its own log; the second does not list the first's files.
  EXPECT_EQ(Log(second).find(first), std::string::npos);
}

TEST_F(Installation, AnUninstallKeyThatCannotBeMadeIsSkippedSilently) {
  // A lasting key may not be created below a volatile one: the system
  // refuses it as it refuses a user without rights to the machine's keys.
  ASSERT_TRUE(test::ReplaceByVolatileKey(scratch_.root(), scratch_.path() + "\\Uninstall"));
  const std::string dir = root_ / "Quorvelle\\";
  ASSERT_TRUE(Install(dir));

  EXPECT_FALSE(
      platform::OpenKey(scratch_.root(), scratch_.path() + "\\Uninstall\\Quorvelle", KEY_READ));
  EXPECT_EQ(host_.decompressionErrors, 0);
  // The installation went on to its end.
  EXPECT_EQ(Log(dir).substr(Log(dir).size() - (dir.size() + 4)), "2=" + dir + "\r\n");
  EXPECT_EQ(shell_.opened.size(), 2u);
}

TEST(IsPreservedFile, NoPayloadFileOfThisProductIsPreserved) {
  for (const product::PayloadRow& row : product::PayloadTable) {
    EXPECT_FALSE(install::IsPreservedFile(row.fileName)) << row.fileName;
  }
  // Only the table's one empty entry matches, byte for byte.
  EXPECT_TRUE(install::IsPreservedFile(""));
  EXPECT_FALSE(install::IsPreservedFile(" "));
}

}  // namespace
