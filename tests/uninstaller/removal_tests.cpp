#include "uninstaller/removal.h"
#include "uninstaller/self_removal.h"
#include "uninstaller/unattended_removal.h"

#include "platform/com.h"
#include "platform/error.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "platform/unique_resource.h"
#include "tests/support/test_support.h"

#include <aclapi.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

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
    return uninstaller::RemoveInstallation(log, installDir, "Uninstall.exe", location,
                                           {desktop, programs});
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
  test::WriteFile(current / "stray.txt", "not the product's");
  log.files.push_back("stray.txt");
  const uninstaller::RemovalReport report = [&] {
    const test::CurrentFolder here(current.path());
    return Remove();
  }();

  EXPECT_TRUE(platform::FileExists(current / "stray.txt"));
  EXPECT_EQ(report.leftAlone, Strings{"stray.txt"});
}

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

// Anyone who may write to the destination may write to its log, and the
// removal runs with administrator rights: an entry must not reach a file
// the installation did not make, however it is spelled.
TEST_F(RemovalTest, EntriesNamingNothingTheInstallationMakesAreLeftAloneAndNamed) {
  const Strings product = log.files;
  const std::string other = root / "Other";
  const std::string data = installDir + "\\Data";
  CreateDirectoryA(other.c_str(), nullptr);
  CreateDirectoryA(data.c_str(), nullptr);
  const std::string victim = other + "\\victim.txt";
  std::string slashed = installDir + "/../Other/victim.txt";
  std::replace(slashed.begin(), slashed.end(), '\\', '/');
  const Strings outside = {
      victim,
      installDir + "\\..\\Other\\victim.txt",
      slashed,
      "\\\\?\\" + victim,
      "\\\\.\\" + victim,
      data + "\\kept.txt",           // inside the destination, but not directly
      other + "\\Quorvelle.lnk",     // a link's name in a folder no link goes to
      desktop + "\\Quick help.lnk",  // a Start-menu link's name on the desktop
  };
  for (const std::string& file :
       {victim, data + "\\kept.txt", other + "\\Quorvelle.lnk", desktop + "\\Quick help.lnk"}) {
    test::WriteFile(file, "not the product's");
  }
  ASSERT_TRUE(SetFileAttributesA(victim.c_str(), FILE_ATTRIBUTE_READONLY));
  log.files.insert(log.files.begin() + 2, outside.begin(), outside.end());
  const uninstaller::RemovalReport report = Remove();
  const DWORD victimAttributes = GetFileAttributesA(victim.c_str());
  SetFileAttributesA(victim.c_str(), FILE_ATTRIBUTE_NORMAL);

  EXPECT_EQ(report.leftAlone, outside);
  EXPECT_TRUE(victimAttributes & FILE_ATTRIBUTE_READONLY) << victimAttributes;
  for (const std::string& file :
       {victim, data + "\\kept.txt", other + "\\Quorvelle.lnk", desktop + "\\Quick help.lnk"}) {
    EXPECT_EQ(test::ReadFile(file), "not the product's") << file;
  }
  for (const std::string& file : product) EXPECT_FALSE(platform::FileExists(file)) << file;
  EXPECT_FALSE(platform::DirectoryExists(startMenu));
  EXPECT_FALSE(KeyExists());
  const std::string text = uninstaller::DescribeReport(log, report);
  EXPECT_NE(text.find("These are not part of the installation and were left alone:\n" + victim +
                      "\n" + outside[1] + "\n"),
            std::string::npos)
      << text;
}

// The same files as the installation logs them, spelled the other ways the
// system accepts: they are the product's and go.
TEST_F(RemovalTest, TheInstallationsFilesGoHoweverTheLogSpellsThem) {
  char shortName[MAX_PATH] = "";
  ASSERT_GT(GetShortPathNameA(log.files[2].c_str(), shortName, MAX_PATH), 0u);
  const Strings product = log.files;
  log.files[0] = Upper(log.files[0]);                                     // letter case
  log.files[2] = shortName;                                               // the 8.3 name
  std::replace(log.files[3].begin(), log.files[3].end(), '\\', '/');      // forward slashes
  std::replace(log.folders[2].begin(), log.folders[2].end(), '\\', '/');  // the destination too
  log.files[4] = root / "Programs\\..\\Desktop\\Quorvelle.lnk";           // a way round
  log.files[6] = Upper(log.files[6]);                                     // a Start-menu link
  log.files[9] += ". ";  // a trailing dot and blank, which the system drops
  const uninstaller::RemovalReport report = Remove();

  EXPECT_TRUE(report.Complete()) << uninstaller::DescribeReport(log, report);
  for (const std::string& file : product) EXPECT_FALSE(platform::FileExists(file)) << file;
  EXPECT_FALSE(platform::DirectoryExists(installDir));
  EXPECT_FALSE(platform::DirectoryExists(startMenu));
}

TEST_F(RemovalTest, AnUninstallKeyThatIsNotThereIsNoFailure) {
  EXPECT_EQ(uninstaller::RemoveUninstallKey(location, "Quorvelle"), "");
  EXPECT_FALSE(KeyExists());
  EXPECT_EQ(uninstaller::RemoveUninstallKey(location, "Quorvelle"), "");
  EXPECT_TRUE(Remove().Complete());
}

// The log lies where others may write: its ShortName names no key to remove.
TEST_F(RemovalTest, TheKeyRemovedIsTheProductsWhateverTheLogNames) {
  key.SetText("Other", "DisplayName", "Another product");
  log.shortName = "Other";
  EXPECT_TRUE(Remove().Complete());
  EXPECT_FALSE(KeyExists());
  platform::UniqueKey other;
  EXPECT_EQ(RegOpenKeyExA(key.root(), (key.path() + "\\Other").c_str(), 0, KEY_READ, other.put()),
            ERROR_SUCCESS);
}

// An installation for the current user is in the user's own list: its
// removal takes that entry and leaves the machine's alone, even one that
// names the same folder.
TEST_F(RemovalTest, TheEntryRemovedIsTheOneOfTheInstallationsScope) {
  test::ScratchKey userKey{"UninstallRemoval.User"};
  const uninstaller::UninstallKeyLocation user{userKey.root(), userKey.path()};
  // Neither names this folder: the machine's, where every installation was.
  key.SetText("Quorvelle", "InstallLocation", installDir + "\\");
  EXPECT_EQ(uninstaller::EntryLocationFor(installDir, user, location).parentPath, key.path());
  userKey.SetText("Quorvelle", "InstallLocation", root / "Elsewhere\\");
  EXPECT_EQ(uninstaller::EntryLocationFor(installDir, user, location).parentPath, key.path());

  userKey.SetText("Quorvelle", "InstallLocation", installDir + "\\");
  const uninstaller::UninstallKeyLocation chosen =
      uninstaller::EntryLocationFor(installDir, user, location);
  EXPECT_EQ(chosen.parentPath, userKey.path());
  EXPECT_TRUE(
      uninstaller::RemoveInstallation(log, installDir, "Uninstall.exe", chosen, {desktop, programs})
          .Complete());
  platform::UniqueKey userEntry;
  EXPECT_NE(RegOpenKeyExA(userKey.root(), (userKey.path() + "\\Quorvelle").c_str(), 0, KEY_READ,
                          userEntry.put()),
            ERROR_SUCCESS);
  EXPECT_TRUE(KeyExists());
}

// A shell link to `target`, saved through the system's shell-link object.
void WriteLink(const std::string& linkPath, const std::string& target) {
  platform::ComApartment apartment;
  platform::ComPtr<IShellLinkA> link;
  platform::ComPtr<IPersistFile> file;
  ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                            IID_IShellLinkA, link.put_void()));
  ASSERT_HRESULT_SUCCEEDED(link->SetPath(target.c_str()));
  ASSERT_HRESULT_SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.put_void()));
  ASSERT_HRESULT_SUCCEEDED(file->Save(platform::AnsiToWide(linkPath).c_str(), TRUE));
}

// A later installation into another folder took over the uninstall entry
// and remade the links: removing this one leaves them to it, and says so.
TEST_F(RemovalTest, AnotherInstallationsEntryAndLinksStay) {
  const std::string other = root / "Other";
  CreateDirectoryA(other.c_str(), nullptr);
  test::WriteFile(other + "\\install.log", "[Application]\r\nShortName=Quorvelle\r\n");
  key.SetText("Quorvelle", "InstallLocation", other + "\\");
  WriteLink(desktop + "\\Quorvelle.lnk", other + "\\Quorvelle.exe");
  WriteLink(startMenu + "\\Quorvelle.lnk", other + "\\Quorvelle.exe");
  const uninstaller::RemovalReport report = Remove();

  EXPECT_TRUE(report.Complete());
  EXPECT_TRUE(KeyExists());
  const Strings kept{desktop + "\\Quorvelle.lnk", startMenu + "\\Quorvelle.lnk",
                     startMenu + "\\Quick help.lnk", startMenu + "\\Nerovane web page.url",
                     startMenu + "\\Quorvelle web page.url"};
  EXPECT_EQ(report.othersLinks, kept);
  for (const std::string& link : kept) EXPECT_TRUE(platform::FileExists(link)) << link;
  EXPECT_FALSE(platform::DirectoryExists(installDir));
  EXPECT_EQ(uninstaller::DescribeReport(log, report),
            "Telvarion 5.0 was removed from this computer.\n\nThe entry in the list of installed "
            "programs belongs to the installation in " +
                other +
                "\\ and was kept.\n\nThese "
                "links start another installation of Telvarion and were kept:\n" +
                kept[0] + "\n" + kept[1] + "\n" + kept[2] + "\n" + kept[3] + "\n" + kept[4]);

  // Its own entry, and links that start its own program, go as before.
  WriteLink(desktop + "\\Quorvelle.lnk", installDir + "\\Quorvelle.exe");
  WriteLink(startMenu + "\\Quorvelle.lnk", installDir + "\\Quorvelle.exe");
  CreateDirectoryA(installDir.c_str(), nullptr);
  key.SetText("Quorvelle", "InstallLocation", installDir + "\\");
  EXPECT_TRUE(Remove().othersLinks.empty());
  EXPECT_FALSE(platform::FileExists(desktop + "\\Quorvelle.lnk"));
  EXPECT_FALSE(platform::DirectoryExists(startMenu));
  EXPECT_FALSE(KeyExists());
}

// The desktop moved (to a synced folder) and the Start menu is another
// account's since the installation: the links the log recorded there go
// when they start this installation's program, and only then.
TEST_F(RemovalTest, LinksTheLogRecordedElsewhereGoWhenTheyStartThisInstallation) {
  const std::string moved = root / "Synced Desktop";
  const std::string oldMenu = root / "Old Programs\\Quorvelle";
  const std::string stranger = root / "Stranger";
  for (const std::string& folder : {moved, root / "Old Programs", oldMenu, stranger}) {
    CreateDirectoryA(folder.c_str(), nullptr);
  }
  WriteLink(moved + "\\Quorvelle.lnk", installDir + "\\Quorvelle.exe");
  WriteLink(oldMenu + "\\Quorvelle.lnk", installDir + "\\Quorvelle.exe");
  WriteLink(oldMenu + "\\Quick help.lnk", installDir + "\\help.txt");
  // Named as the installation names them, but starting something else.
  WriteLink(stranger + "\\Quorvelle.lnk", root / "Other\\Quorvelle.exe");
  WriteLink(stranger + "\\Quick help.lnk", installDir + "\\help.txt");
  for (const std::string& file :
       {moved + "\\Quorvelle.lnk", oldMenu + "\\Quorvelle.lnk", oldMenu + "\\Quick help.lnk",
        stranger + "\\Quorvelle.lnk", stranger + "\\Quick help.lnk"}) {
    log.files.push_back(file);
  }
  AddFile(oldMenu + "\\Nerovane web page.url");
  AddFile(oldMenu + "\\Quorvelle web page.url");
  log.folders.insert(log.folders.begin(), oldMenu + "\\");
  const uninstaller::RemovalReport report = Remove();

  EXPECT_FALSE(platform::FileExists(moved + "\\Quorvelle.lnk"));
  EXPECT_FALSE(platform::DirectoryExists(oldMenu));
  EXPECT_EQ(report.leftAlone,
            (Strings{stranger + "\\Quorvelle.lnk", stranger + "\\Quick help.lnk"}));
  EXPECT_TRUE(platform::FileExists(stranger + "\\Quorvelle.lnk"));
  EXPECT_TRUE(platform::FileExists(stranger + "\\Quick help.lnk"));
  EXPECT_TRUE(report.files.empty());
}

TEST_F(RemovalTest, ASecondRunAfterAnInterruptedOneFinishesTheJob) {
  // Files already gone are fine: the first half of the log removed by hand.
  for (size_t i = 0; i < log.files.size() / 2; ++i) DeleteFileA(log.files[i].c_str());
  EXPECT_TRUE(Remove().Complete());
  EXPECT_FALSE(platform::DirectoryExists(installDir));
}

// The copy runs with administrator rights from this folder: no one but the
// user and the system may put anything in it, whatever the temporary folder
// lets others do.
TEST(PrivateFolder, OnlyTheUserAndTheSystemMayChangeIt) {
  const std::string folder = *uninstaller::CreatePrivateFolder();
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR raw = nullptr;
  const DWORD status =
      GetNamedSecurityInfoA(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                            nullptr, &dacl, nullptr, &raw);
  const platform::UniqueLocalMemory descriptor(raw);
  EXPECT_TRUE(RemoveDirectoryA(folder.c_str()));
  ASSERT_EQ(status, static_cast<DWORD>(ERROR_SUCCESS));
  ASSERT_TRUE(dacl);

  // Whether the list is also protected from inheritance does not show
  // here: Wine keeps the entries but not that flag.
  HANDLE rawToken = nullptr;
  ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &rawToken));
  const platform::UniqueHandle token(rawToken);
  std::vector<TOKEN_USER> user(64);
  DWORD size = 0;
  ASSERT_TRUE(GetTokenInformation(token.get(), TokenUser, user.data(),
                                  static_cast<DWORD>(user.size() * sizeof(TOKEN_USER)), &size));
  PSID system = nullptr;
  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  ASSERT_TRUE(
      AllocateAndInitializeSid(&nt, 1, SECURITY_LOCAL_SYSTEM_RID, 0, 0, 0, 0, 0, 0, 0, &system));
  ASSERT_EQ(dacl->AceCount, 2u);
  for (WORD i = 0; i < dacl->AceCount; ++i) {
    void* ace = nullptr;
    ASSERT_TRUE(GetAce(dacl, i, &ace));
    const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
    EXPECT_EQ(allowed->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
    PSID sid = const_cast<DWORD*>(&allowed->SidStart);
    EXPECT_TRUE(EqualSid(sid, i == 0 ? system : user[0].User.Sid)) << "entry " << i;
  }
  FreeSid(system);
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

// A process started suspended, ended with the test.
struct Suspended {
  explicit Suspended(const std::string& program) {
    STARTUPINFOA startup{sizeof startup};
    PROCESS_INFORMATION started{};
    std::string commandLine = "\"" + program + "\"";
    EXPECT_TRUE(CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                               CREATE_SUSPENDED, nullptr, nullptr, &startup, &started))
        << program;
    process.reset(started.hProcess);
    thread.reset(started.hThread);
  }
  ~Suspended() {
    if (process) TerminateProcess(process.get(), 0);
  }
  platform::UniqueHandle process, thread;
};

// Why the arguments were refused; empty when they were accepted.
std::string Refusal(void* process, const std::string& program) {
  return uninstaller::CheckFinishArguments({process, program}).failure();
}

// Anyone may start the copy, which removes with administrator rights, with
// any command line: only what the original hands over is accepted.
TEST(FinishArguments, OnlyAnotherProcessOfThisProgramUnderItsOwnPathIsAccepted) {
  const std::string self = *uninstaller::OwnProgramPath();
  const std::string refused = "The uninstaller was not started by itself, so nothing was removed.";
  const Suspended original(self);
  EXPECT_EQ(Refusal(original.process.get(), self), "");

  HANDLE ownHandle = nullptr;
  ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(),
                              &ownHandle, SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                              0));
  const platform::UniqueHandle own(ownHandle);
  EXPECT_EQ(Refusal(own.get(), self), refused);
  EXPECT_EQ(Refusal(GetCurrentProcess(), self), refused);
  EXPECT_EQ(Refusal(nullptr, self), refused);

  // The folder, and so the log and what it lists, must be the original's own.
  const std::string folder = uninstaller::FolderOf(self);
  const std::string name = self.substr(folder.size());
  EXPECT_EQ(Refusal(original.process.get(), folder + "x\\..\\" + name), refused);
  EXPECT_EQ(Refusal(original.process.get(), folder + "x\\" + name), refused);

  // Another program's process, under its own path.
  char system[MAX_PATH];
  ASSERT_GT(GetSystemDirectoryA(system, MAX_PATH), 0u);
  const std::string other = std::string(system) + "\\cmd.exe";
  const Suspended another(other);
  EXPECT_EQ(Refusal(another.process.get(), other), refused);
}

}  // namespace
