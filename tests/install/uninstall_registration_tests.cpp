#include "install/uninstall_registration.h"

#include "platform/registry.h"
#include "tests/support/raw_registry_value.h"
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
  test::ExpectUninstallEntry(scratch_, "Quorvelle", "C:\\Apps\\Quorvelle\\", before, after);
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
