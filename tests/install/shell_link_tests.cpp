#include "install/installer.h"
#include "install/link_folder.h"

#include "platform/com.h"
#include "platform/error.h"
#include "platform/paths.h"
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

using test::RaisedText;
using test::ReadLink;
using test::SavedLink;

// The values of one section of a profile file, in the file's order.
// An installer with its log begun in one temporary folder and links made in
// another, with the shell's notifications recorded.
struct ShellLinkFixture : testing::Test {
  ShellLinkFixture() {
    installer.SetInstallDir(logFolder.path() + "\\");
    installer.BeginLog();
  }
  Strings Files() const { return test::ProfileSection(installer.InstallLog()->path(), "Files"); }
  Strings Folders() const {
    return test::ProfileSection(installer.InstallLog()->path(), "Folders");
  }
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
  const SavedLink saved = ReadLink(platform::AnsiToWide(linkPath));
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
  EXPECT_EQ(ReadLink(platform::AnsiToWide(linkPath)).arguments, "");
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
  EXPECT_EQ(ReadLink(linkPath).description, "Telvarion");
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

TEST_F(ShellLinkFixture, ALinkInADriveRootKeepsTheRootAndCreatesNoFolder) {
  // C: of the test prefix is a folder of the test build, not a real disk.
  const std::string linkPath = "C:\\qst" + std::to_string(GetCurrentProcessId()) + " link.lnk";
  Create(platform::AnsiToWide(linkPath));
  const bool saved = platform::FileExists(linkPath);
  DeleteFileA(linkPath.c_str());
  EXPECT_TRUE(saved);
  EXPECT_EQ(Folders(), Strings{});
  EXPECT_EQ(Files(), Strings{"1=" + linkPath});
  EXPECT_EQ(shell.notified, Strings{"C:\\"});
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
  EXPECT_EQ(installer.NextFileIndex(), 1);
  EXPECT_EQ(installer.NextFolderIndex(), 1);
  EXPECT_EQ(shell.notified, Strings{});
}

// COM interfaces have no virtual destructor: their objects end through
// Release, and these ones are never deleted through an interface pointer.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

// A stand-in for the shell-link object: three separately counted interfaces
// that journal what is asked of them, so that the order of the calls, the
// text handed over and the order of the releases can be seen.
class JournalingObject {
 public:
  Strings journal;
  bool grantsLink = true;
  bool grantsFile = true;

  IUnknown* First() { return &unknown_; }
  ULONG References() const { return unknown_.refs + link_.refs + file_.refs; }

 private:
  static std::string Text(const char* text) { return text ? text : "<null>"; }

  template <typename Interface>
  struct Counted : Interface {
    Counted(JournalingObject& owner, const char* name) : owner(owner), name(name) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
      return owner.unknown_.QueryInterface(id, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override {
      if (--refs == 0) owner.journal.push_back(std::string("release ") + name);
      return refs;
    }
    JournalingObject& owner;
    const char* name;
    ULONG refs = 0;
  };

  struct Unknown : Counted<IUnknown> {
    using Counted::Counted;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
      *out = nullptr;
      if (id == IID_IUnknown) *out = static_cast<IUnknown*>(this);
      if (id == IID_IShellLinkA && owner.grantsLink) *out = static_cast<IShellLinkA*>(&owner.link_);
      if (id == IID_IPersistFile && owner.grantsFile)
        *out = static_cast<IPersistFile*>(&owner.file_);
      if (!*out) return E_NOINTERFACE;
      static_cast<IUnknown*>(*out)->AddRef();
      return S_OK;
    }
  };

  struct Link : Counted<IShellLinkA> {
    using Counted::Counted;
    HRESULT Record(const std::string& call) {
      owner.journal.push_back(call);
      return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetArguments(LPCSTR text) override {
      return Record("SetArguments " + Text(text));
    }
    HRESULT STDMETHODCALLTYPE SetPath(LPCSTR text) override {
      return Record("SetPath " + Text(text));
    }
    HRESULT STDMETHODCALLTYPE SetWorkingDirectory(LPCSTR text) override {
      return Record("SetWorkingDirectory " + Text(text));
    }
    HRESULT STDMETHODCALLTYPE SetDescription(LPCSTR text) override {
      return Record("SetDescription " + Text(text));
    }
    HRESULT STDMETHODCALLTYPE SetIconLocation(LPCSTR text, int index) override {
      return Record("SetIconLocation " + Text(text) + "," + std::to_string(index));
    }
    HRESULT STDMETHODCALLTYPE GetPath(LPSTR, int, WIN32_FIND_DATAA*, DWORD) override {
      return Record("GetPath");
    }
    HRESULT STDMETHODCALLTYPE GetIDList(PIDLIST_ABSOLUTE*) override { return Record("GetIDList"); }
    HRESULT STDMETHODCALLTYPE SetIDList(PCIDLIST_ABSOLUTE) override { return Record("SetIDList"); }
    HRESULT STDMETHODCALLTYPE GetDescription(LPSTR, int) override {
      return Record("GetDescription");
    }
    HRESULT STDMETHODCALLTYPE GetWorkingDirectory(LPSTR, int) override {
      return Record("GetWorkingDirectory");
    }
    HRESULT STDMETHODCALLTYPE GetArguments(LPSTR, int) override { return Record("GetArguments"); }
    HRESULT STDMETHODCALLTYPE GetHotkey(WORD*) override { return Record("GetHotkey"); }
    HRESULT STDMETHODCALLTYPE SetHotkey(WORD) override { return Record("SetHotkey"); }
    HRESULT STDMETHODCALLTYPE GetShowCmd(int*) override { return Record("GetShowCmd"); }
    HRESULT STDMETHODCALLTYPE SetShowCmd(int) override { return Record("SetShowCmd"); }
    HRESULT STDMETHODCALLTYPE GetIconLocation(LPSTR, int, int*) override {
      return Record("GetIconLocation");
    }
    HRESULT STDMETHODCALLTYPE SetRelativePath(LPCSTR, DWORD) override {
      return Record("SetRelativePath");
    }
    HRESULT STDMETHODCALLTYPE Resolve(HWND, DWORD) override { return Record("Resolve"); }
  };

  struct File : Counted<IPersistFile> {
    using Counted::Counted;
    HRESULT Record(const std::string& call) {
      owner.journal.push_back(call);
      return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Save(LPCOLESTR name, BOOL remember) override {
      // A failed save must not change what the installation does.
      Record("Save " + (name ? platform::WideToAnsi(name) : "<null>") + "," +
             std::to_string(remember));
      return E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID*) override { return Record("GetClassID"); }
    HRESULT STDMETHODCALLTYPE IsDirty() override { return Record("IsDirty"); }
    HRESULT STDMETHODCALLTYPE Load(LPCOLESTR, DWORD) override { return Record("Load"); }
    HRESULT STDMETHODCALLTYPE SaveCompleted(LPCOLESTR) override { return Record("SaveCompleted"); }
    HRESULT STDMETHODCALLTYPE GetCurFile(LPOLESTR*) override { return Record("GetCurFile"); }
  };

  Unknown unknown_{*this, "IUnknown"};
  Link link_{*this, "IShellLinkA"};
  File file_{*this, "IPersistFile"};
};

#pragma GCC diagnostic pop

// Hands out the journaling object and journals the notifications with it.
class JournalingShell : public platform::ShellServices {
 public:
  explicit JournalingShell(JournalingObject& object)
      : object_(object), previous_(platform::SetShellServices(this)) {}
  ~JournalingShell() override { platform::SetShellServices(previous_); }

  void OpenDocument(HWND, const std::string&, const std::string&, int) override {}
  void NotifyFolderChanged(const std::string& folder) override {
    object_.journal.push_back("notify " + folder);
  }
  HRESULT CreateObject(REFCLSID classId, IUnknown** object) override {
    if (classId != CLSID_ShellLink) return REGDB_E_CLASSNOTREG;
    *object = object_.First();
    (*object)->AddRef();
    return S_OK;
  }

 private:
  JournalingObject& object_;
  platform::ShellServices* previous_;
};

struct JournalingFixture : testing::Test {
  JournalingFixture() {
    installer.SetInstallDir(logFolder.path() + "\\");
    installer.BeginLog();
  }
  void Create(const std::string& linkPath) {
    installer.CreateShellLink("C:\\Q\\", "C:\\Q\\Quorvelle.exe", "", platform::AnsiToWide(linkPath),
                              "", "C:\\Q\\icons.dll", -2);
  }

  JournalingObject object;
  JournalingShell shell{object};
  test::TempFolder logFolder;
  test::TempFolder links;
  install::Installer installer;
};

TEST_F(JournalingFixture, SettersInOrderThenSaveThenReleasesThenNotification) {
  const std::string linkPath = links / "Quorvelle.lnk";
  Create(linkPath);
  EXPECT_EQ(object.journal,
            (Strings{"SetArguments ", "SetPath C:\\Q\\Quorvelle.exe", "SetWorkingDirectory C:\\Q\\",
                     "SetDescription ", "SetIconLocation C:\\Q\\icons.dll,-2",
                     "Save " + linkPath + ",0", "release IShellLinkA", "release IPersistFile",
                     "release IUnknown", "notify " + links.path()}));
  EXPECT_EQ(object.References(), 0u);
  EXPECT_EQ(test::ProfileSection(installer.InstallLog()->path(), "Files"),
            Strings{"1=" + linkPath});
}

TEST_F(JournalingFixture, ARefusedInterfaceRaisesAndReleasesWhatWasObtained) {
  for (const bool grantsLink : {false, true}) {
    object.journal.clear();
    object.grantsLink = grantsLink;
    object.grantsFile = !grantsLink;
    EXPECT_EQ(RaisedText([&] { Create(links / "sub\\Quorvelle.lnk"); }), "Interface not supported");
    EXPECT_EQ(object.References(), 0u);
    const Strings released = grantsLink ? Strings{"release IShellLinkA", "release IUnknown"}
                                        : Strings{"release IUnknown"};
    EXPECT_EQ(object.journal, released);
  }
  EXPECT_FALSE(platform::DirectoryExists(links / "sub"));
  EXPECT_EQ(test::ProfileSection(installer.InstallLog()->path(), "Files"), Strings{});
  EXPECT_EQ(test::ProfileSection(installer.InstallLog()->path(), "Folders"), Strings{});
}

TEST_F(JournalingFixture, ALogErrorReleasesTheReferencesAndSendsNoNotification) {
  installer.SetInstallDir(logFolder / "missing\\");  // a log that cannot be written
  EXPECT_THROW(installer.BeginLog(), platform::SetupError);
  EXPECT_THROW(Create(links / "Quorvelle.lnk"), platform::SetupError);
  EXPECT_EQ(object.References(), 0u);
  ASSERT_GE(object.journal.size(), 3u);
  EXPECT_EQ(Strings(object.journal.end() - 3, object.journal.end()),
            (Strings{"release IShellLinkA", "release IPersistFile", "release IUnknown"}));
}

}  // namespace
