#include "install/uninstall_registration.h"

#include "platform/registry.h"
#include "tests/install/raw_registry_value.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using test::Number;
using test::RawValue;
using test::Text;

class RegisterUninstall : public ::testing::Test {
 protected:
  void Register(const std::string& installDir) {
    install::WriteUninstallEntry(scratch_.root(), scratch_.path() + "\\Quorvelle", installDir);
  }
  RawValue Value(const char* name) const { return test::ReadRawValue(scratch_, "Quorvelle", name); }

  // One key per test: CTest runs the tests in parallel processes.
  test::ScratchKey scratch_{std::string("Uninstall.") +
                            ::testing::UnitTest::GetInstance()->current_test_info()->name()};
};

TEST_F(RegisterUninstall, WritesTheSeventeenValuesWithTheirTypesAndBytes) {
  const std::string before = test::LocalDateText();
  Register("C:\\Apps\\Quorvelle\\");
  const std::string after = test::LocalDateText();
  EXPECT_EQ(Value("DisplayName"), Text("Telvarion"));
  EXPECT_EQ(Value("DisplayIcon"), Text("C:\\Apps\\Quorvelle\\Quorvelle.exe,0"));
  EXPECT_EQ(Value("UninstallPath"), Text("C:\\Apps\\Quorvelle\\"));
  EXPECT_EQ(Value("UninstallString"), Text("\"C:\\Apps\\Quorvelle\\Uninstall.exe\""));
  EXPECT_EQ(Value("QuietUninstallString"), Text("\"C:\\Apps\\Quorvelle\\Uninstall.exe\" /S"));
  EXPECT_EQ(Value("InstallLocation"), Text("C:\\Apps\\Quorvelle\\"));
  EXPECT_EQ(Value("DisplayVersion"), Text("5.0"));
  EXPECT_EQ(Value("Comments"), Text("Thank you for using Quorvelle!"));
  EXPECT_EQ(Value("Contact"), Text("support@nerovane.example"));
  EXPECT_EQ(Value("Publisher"), Text("Nerovane technologies"));
  EXPECT_EQ(Value("URLInfoAbout"), Text("https://quorvelle.nerovane.example"));
  EXPECT_EQ(Value("URLUpdateInfo"), Text("https://quorvelle.nerovane.example"));
  EXPECT_EQ(Value("NoModify"), Number(1));
  EXPECT_EQ(Value("NoRepair"), Number(1));
  EXPECT_EQ(Value("VersionMajor"), Number(5));
  EXPECT_EQ(Value("VersionMinor"), Number(0));
  // The local date, read around the call so that a test run across local
  // midnight still has one of the two days to match.
  const RawValue date = Value("InstallDate");
  EXPECT_TRUE(date == Text(before) || date == Text(after)) << ::testing::PrintToString(date);
}

TEST_F(RegisterUninstall, QuotesTheUninstallerPathEvenWithBlanks) {
  Register("C:\\Program Files\\My Apps\\Quorvelle\\");
  EXPECT_EQ(Value("UninstallString"),
            Text("\"C:\\Program Files\\My Apps\\Quorvelle\\Uninstall.exe\""));
  EXPECT_EQ(Value("QuietUninstallString"),
            Text("\"C:\\Program Files\\My Apps\\Quorvelle\\Uninstall.exe\" /S"));
  // The other paths stay as they are: the system reads them as data, not as
  // a command line.
  EXPECT_EQ(Value("DisplayIcon"), Text("C:\\Program Files\\My Apps\\Quorvelle\\Quorvelle.exe,0"));
  EXPECT_EQ(Value("InstallLocation"), Text("C:\\Program Files\\My Apps\\Quorvelle\\"));
}

TEST_F(RegisterUninstall, ASecondInstallationRewritesTheEntryAndKeepsOtherValues) {
  scratch_.SetText("Quorvelle", "EstimatedSize", "from an earlier installation");
  scratch_.SetText("Quorvelle", "DisplayName", "Old name");
  Register("C:\\First\\");
  Register("D:\\Second place\\");
  EXPECT_EQ(Value("EstimatedSize"), Text("from an earlier installation"));
  EXPECT_EQ(Value("DisplayName"), Text("Telvarion"));
  EXPECT_EQ(Value("DisplayIcon"), Text("D:\\Second place\\Quorvelle.exe,0"));
  EXPECT_EQ(Value("UninstallPath"), Text("D:\\Second place\\"));
  EXPECT_EQ(Value("UninstallString"), Text("\"D:\\Second place\\Uninstall.exe\""));
  EXPECT_EQ(Value("InstallLocation"), Text("D:\\Second place\\"));
  EXPECT_EQ(Value("NoModify"), Number(1));
}

TEST_F(RegisterUninstall, AKeyThatCannotBeCreatedIsSkippedSilently) {
  // A lasting key may not be created below a volatile one: the system refuses
  // it as it refuses a user without rights to the machine's keys (Wine does
  // not check a handle's access rights, so that refusal cannot be used here).
  ASSERT_TRUE(test::ReplaceByVolatileKey(scratch_.root(), scratch_.path()));
  EXPECT_NO_THROW(Register("C:\\Apps\\"));
  EXPECT_FALSE(platform::OpenKey(scratch_.root(), scratch_.path() + "\\Quorvelle", KEY_READ));
}

// A value that the system refuses to store cannot be provoked for the fixed
// value names; the writer's error for it is tested with the registry writer
// (tests/platform/registry_tests.cpp).

}  // namespace
