#include "install/destination_folder.h"

#include "platform/text.h"
#include "platform/unique_resource.h"
#include "tests/support/test_support.h"

#include <shlobj.h>
#include <gtest/gtest.h>

#include <string>

namespace {

constexpr const char* kNtKey = "Software\\Microsoft\\Windows NT\\CurrentVersion";
constexpr const char* kWindowsKey = "Software\\Microsoft\\Windows\\CurrentVersion";

std::string Expanded(const char* text) {
  char expanded[MAX_PATH] = "";
  ExpandEnvironmentStringsA(text, expanded, MAX_PATH);
  return expanded;
}

// A scratch key standing in for HKEY_LOCAL_MACHINE, with the two keys the
// Program Files folder is read from below it.
class ProgramFilesSource : public ::testing::Test {
 protected:
  ProgramFilesSource() {
    RegCreateKeyExA(scratch_.root(), scratch_.path().c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                    nullptr, root_.put(), nullptr);
  }
  HKEY root() const { return root_.get(); }

  // One key per test: CTest runs the tests in parallel processes.
  test::ScratchKey scratch_{std::string("ProgramFiles.") +
                            ::testing::UnitTest::GetInstance()->current_test_info()->name()};
  platform::UniqueKey root_;
};

TEST_F(ProgramFilesSource, OnlyTheSecondKeySet) {
  scratch_.SetText(kWindowsKey, "ProgramFilesDir", "C:\\Second");
  EXPECT_EQ(install::ReadProgramFilesValue(kNtKey, root()), std::nullopt);
  EXPECT_EQ(install::GetProgramFilesDir(root()), "C:\\Second");
  EXPECT_EQ(install::DefaultDestinationFolder(root()), "C:\\Second\\Quorvelle");
}

TEST_F(ProgramFilesSource, TheFirstKeyComesFirstAndItsFirstNameFirst) {
  scratch_.SetText(kNtKey, "ProgramFilesPath", "C:\\NtPath");
  scratch_.SetText(kNtKey, "ProgramFilesDir", "C:\\NtDir");
  scratch_.SetText(kWindowsKey, "ProgramFilesDir", "C:\\Second");
  EXPECT_EQ(install::GetProgramFilesDir(root()), "C:\\NtDir");
}

TEST_F(ProgramFilesSource, ExpandsReferencesInEveryValue) {
  scratch_.SetText(kNtKey, "ProgramFilesDir", "%SystemDrive%\\Apps", REG_EXPAND_SZ);
  const std::string drive = Expanded("%SystemDrive%");
  ASSERT_EQ(drive.size(), 2u);
  EXPECT_EQ(install::DefaultDestinationFolder(root()), drive + "\\Apps\\Quorvelle");
  // A plain text value is expanded as well; an undefined name stays.
  scratch_.SetText(kNtKey, "ProgramFilesDir", "%SystemDrive%\\%NoSuchVariable%");
  EXPECT_EQ(install::GetProgramFilesDir(root()), drive + "\\%NoSuchVariable%");
}

TEST_F(ProgramFilesSource, AnEmptyValueStopsTheSearch) {
  scratch_.SetText(kNtKey, "ProgramFilesDir", "");
  scratch_.SetText(kNtKey, "ProgramFilesPath", "C:\\NtPath");
  scratch_.SetText(kWindowsKey, "ProgramFilesDir", "C:\\Second");
  EXPECT_EQ(install::ReadProgramFilesValue(kNtKey, root()), "");
  EXPECT_EQ(install::GetProgramFilesDir(root()), "");
  EXPECT_EQ(install::DefaultDestinationFolder(root()), "\\Quorvelle");
}

TEST_F(ProgramFilesSource, ATrailingBackslashIsKeptAndNotDoubled) {
  scratch_.SetText(kWindowsKey, "ProgramFilesDir", "D:\\Programs\\");
  EXPECT_EQ(install::GetProgramFilesDir(root()), "D:\\Programs\\");
  EXPECT_EQ(install::DefaultDestinationFolder(root()), "D:\\Programs\\Quorvelle");
}

TEST_F(ProgramFilesSource, NonTextAndSizeZeroValuesAreSkipped) {
  const DWORD number = 7;
  scratch_.SetValue(kNtKey, "ProgramFilesDir", REG_DWORD, &number, sizeof number);
  scratch_.SetValue(kNtKey, "ProgramFilesPath", REG_SZ, "", 0);
  scratch_.SetValue(kWindowsKey, "ProgramFilesDir", REG_BINARY, "C:\\", 4);
  scratch_.SetText(kWindowsKey, "ProgramFilesPath", "C:\\ByPath");
  EXPECT_EQ(install::ReadProgramFilesValue(kNtKey, root()), std::nullopt);
  EXPECT_EQ(install::GetProgramFilesDir(root()), "C:\\ByPath");
}

TEST_F(ProgramFilesSource, NoValueAtAllGivesTheFixedText) {
  scratch_.SetText(kNtKey, "Unrelated", "C:\\Elsewhere");
  const std::string fixed = Expanded("%SystemDrive%\\Program Files");
  ASSERT_NE(fixed.find(":\\Program Files"), std::string::npos) << fixed;
  EXPECT_EQ(install::GetProgramFilesDir(root()), fixed);
  EXPECT_EQ(install::DefaultDestinationFolder(root()), fixed + "\\Quorvelle");
}

// Under Wine every program has administrator rights: the rights are the
// tests' to decide.
TEST(InstallScope, TheRightsDecideUnlessTheCommandLineSays) {
  using install::Scope;
  using install::ScopeRequest;
  const struct {
    ScopeRequest request;
    bool elevated;
    Scope scope;
    const char* raised;
  } cases[] = {
      {ScopeRequest::Default, true, Scope::Machine, "(nothing raised)"},
      {ScopeRequest::Default, false, Scope::User, "(nothing raised)"},
      {ScopeRequest::CurrentUser, true, Scope::User, "(nothing raised)"},
      {ScopeRequest::CurrentUser, false, Scope::User, "(nothing raised)"},
      {ScopeRequest::AllUsers, true, Scope::Machine, "(nothing raised)"},
      {ScopeRequest::AllUsers, false, Scope::Machine, install::kAllUsersNeedsRights},
  };
  for (const auto& c : cases) {
    const int shown = static_cast<int>(c.request) * 2 + c.elevated;
    EXPECT_EQ(install::ChooseScope(c.request, c.elevated), c.scope) << shown;
    EXPECT_EQ(test::RaisedText([&] { install::CheckScopeRights(c.request, c.elevated); }), c.raised)
        << shown;
  }
  EXPECT_EQ(install::UninstallRoot(Scope::User), HKEY_CURRENT_USER);
  EXPECT_EQ(install::UninstallRoot(Scope::Machine), HKEY_LOCAL_MACHINE);
}

// Wine names no per-user programs folder: the local application data
// folder's "Programs" stands in, as on the systems that lack one.
TEST(UserDefaultFolder, IsTheUsersOwnProgramsFolderThenTheProduct) {
  wchar_t* known = nullptr;
  const bool named = SUCCEEDED(SHGetKnownFolderPath(FOLDERID_UserProgramFiles, 0, nullptr, &known));
  const std::wstring knownText = named && known ? known : L"";
  CoTaskMemFree(known);
  char localData[MAX_PATH] = "";
  ASSERT_TRUE(SUCCEEDED(
      SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, localData)));
  const std::string expected =
      knownText.empty() ? std::string(localData) + "\\Programs" : platform::WideToAnsi(knownText);
  EXPECT_EQ(install::UserProgramFilesDir(), expected);
  EXPECT_EQ(install::DefaultDestinationFolder(install::Scope::User), expected + "\\Quorvelle");
}

TEST(ProductFolderIn, AlwaysAppendsTheProductFolder) {
  EXPECT_EQ(install::ProductFolderIn("D:\\"), "D:\\Quorvelle");
  EXPECT_EQ(install::ProductFolderIn("D:\\Apps"), "D:\\Apps\\Quorvelle");
  EXPECT_EQ(install::ProductFolderIn("C:\\Program Files\\Quorvelle"),
            "C:\\Program Files\\Quorvelle\\Quorvelle");
}

}  // namespace
