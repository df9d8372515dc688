#include "setup/command_line.h"
#include "setup/unattended.h"

#include "platform/paths.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using setup::ParseArguments;
using setup::Request;

struct Case {
  const char* arguments;
  Request request;
  bool silent;
  std::string error;  // the whole text, for Request::Error
  bool desktopIcon = true;
  bool startMenuIcons = true;
  bool runProgram = false;
  const char* logFile = "";
  const char* destination = "";
};

void PrintTo(const Case& c, std::ostream* out) {
  *out << '[' << c.arguments << ']';
}

class CommandLineCases : public ::testing::TestWithParam<Case> {};

TEST_P(CommandLineCases, GiveTheRequestAndOptions) {
  const Case& c = GetParam();
  const setup::CommandLine parsed = ParseArguments(c.arguments);
  EXPECT_EQ(parsed.request, c.request);
  EXPECT_EQ(parsed.silent, c.silent);
  EXPECT_EQ(parsed.error, c.error);
  if (c.request != Request::Install) return;
  EXPECT_EQ(parsed.options.desktopIcon, c.desktopIcon);
  EXPECT_EQ(parsed.options.startMenuIcons, c.startMenuIcons);
  EXPECT_EQ(parsed.options.runProgram, c.runProgram);
  EXPECT_EQ(parsed.options.logFile, c.logFile);
  EXPECT_EQ(parsed.options.destination, c.destination);
}

constexpr const char* kRelative =
    "/D= needs the full path of a folder, such as C:\\Apps\\Quorvelle, not ";

INSTANTIATE_TEST_SUITE_P(
    Switches, CommandLineCases,
    ::testing::Values(
        // Without arguments the wizard runs, whatever blanks follow the name.
        Case{"", Request::Wizard, false}, Case{" \t ", Request::Wizard, false},
        Case{" /S", Request::Install, true},
        // Every switch, in any case; /D= keeps the blanks inside, not those at the end.
        Case{" /s /nodesktop /NoStartMenu /Run /log=C:\\setup.log /d=C:\\Program Files (x86)\\My "
             "Apps  \t",
             Request::Install, true, "", false, false, true, "C:\\setup.log",
             "C:\\Program Files (x86)\\My Apps"},
        // /D= takes the rest of the line: a switch of ours in it is an error,
        // and one with /S in it is an unattended run's error.
        Case{" /S /D=C:\\Apps /RUN", Request::Error, true,
             "/D= takes the rest of the command line as its folder, and that holds /RUN: give /D= "
             "last."},
        Case{" /D=C:\\Q /S", Request::Error, true,
             "/D= takes the rest of the command line as its folder, and that holds /S: give /D= "
             "last."},
        Case{" /D=C:\\Q \"/LOG=C:\\a b.log\" /s", Request::Error, true,
             "/D= takes the rest of the command line as its folder, and that holds /LOG=C:\\a "
             "b.log: give /D= last."},
        Case{" /S /D=C:\\Apps/RUN \\S /Sx", Request::Install, true, "", true, true, false, "",
             "C:\\Apps/RUN \\S /Sx"},
        Case{" /S /D=\\\\server\\share\\Quorvelle", Request::Install, true, "", true, true, false,
             "", "\\\\server\\share\\Quorvelle"},
        // Quotation marks group a log file's name with blanks.
        Case{" /S \"/LOG=C:\\My logs\\a.log\" /LOG=\"C:\\My logs\\setup.log\"", Request::Install,
             true, "", true, true, false, "C:\\My logs\\setup.log"},
        // A tool that quotes what holds blanks gets the folder it meant.
        Case{" /S /D=\"C:\\Program Files\\Q\"", Request::Install, true, "", true, true, false, "",
             "C:\\Program Files\\Q"},
        Case{" /S \"/D=C:\\Program Files\\Q\"", Request::Install, true, "", true, true, false, "",
             "C:\\Program Files\\Q"},
        Case{" /S /S", Request::Install, true}, Case{" /?", Request::Usage, false},
        Case{" /S /?", Request::Usage, true},
        // A destination that is empty or relative.
        Case{" /S /D=", Request::Error, true, "/D= needs a folder."},
        Case{" /S /D=   ", Request::Error, true, "/D= needs a folder."},
        Case{" /S /D=Apps\\Quorvelle", Request::Error, true,
             std::string(kRelative) + "Apps\\Quorvelle."},
        Case{" /S /D=\\Apps", Request::Error, true, std::string(kRelative) + "\\Apps."},
        Case{" /S /D=C:Apps", Request::Error, true, std::string(kRelative) + "C:Apps."},
        Case{" /S /D=C:/Apps", Request::Error, true, std::string(kRelative) + "C:/Apps."},
        // A device path bypasses the system's reading of the path: no folder of ours.
        Case{" /S /D=\\\\?\\C:\\Apps", Request::Error, true,
             std::string(kRelative) + "\\\\?\\C:\\Apps."},

        Case{" /S /LOG=", Request::Error, true, "/LOG= needs the name of a file."},
        // Unknown switches, with /S or without.
        Case{" /S /SILENT", Request::Error, true, "Unknown switch \"/SILENT\"."},
        Case{" S", Request::Error, false, "Unknown switch \"S\"."},
        Case{" /S \"\"", Request::Error, true, "Unknown switch \"\"."},
        Case{" /X /?", Request::Error, false, "Unknown switch \"/X\"."},
        // The switches of the unattended installation need /S.
        Case{" /run", Request::Error, false,
             "/run belongs to the unattended installation and needs /S."},
        Case{" /NODESKTOP /D=C:\\Apps", Request::Error, false,
             "/NODESKTOP belongs to the unattended installation and needs /S."},
        Case{" /Log=C:\\setup.log", Request::Error, false,
             "/Log= belongs to the unattended installation and needs /S."}));

// Whom the installation is for goes with the wizard and with /S alike.
TEST(CommandLine, TheScopeSwitchesServeTheWizardAndTheUnattendedRun) {
  using install::ScopeRequest;
  const struct {
    const char* arguments;
    Request request;
    ScopeRequest scope;
    std::string error;
  } cases[] = {
      {"", Request::Wizard, ScopeRequest::Default, ""},
      {" /CURRENTUSER", Request::Wizard, ScopeRequest::CurrentUser, ""},
      {" /allusers", Request::Wizard, ScopeRequest::AllUsers, ""},
      {" /CurrentUser /CURRENTUSER", Request::Wizard, ScopeRequest::CurrentUser, ""},
      {" /S /CURRENTUSER /D=C:\\Apps\\Q", Request::Install, ScopeRequest::CurrentUser, ""},
      {" /ALLUSERS /S /NODESKTOP", Request::Install, ScopeRequest::AllUsers, ""},
      {" /ALLUSERS /?", Request::Usage, ScopeRequest::AllUsers, ""},
      {" /CURRENTUSER /ALLUSERS", Request::Error, ScopeRequest::AllUsers,
       "/CURRENTUSER and /ALLUSERS cannot be given together."},
      {" /S /ALLUSERS /CURRENTUSER", Request::Error, ScopeRequest::CurrentUser,
       "/CURRENTUSER and /ALLUSERS cannot be given together."},
      // The wizard's scope does not open the unattended switches to it.
      {" /CURRENTUSER /RUN", Request::Error, ScopeRequest::CurrentUser,
       "/RUN belongs to the unattended installation and needs /S."},
      {" /CURRENTUSER=1", Request::Error, ScopeRequest::Default,
       "Unknown switch \"/CURRENTUSER=1\"."},
  };
  for (const auto& c : cases) {
    const setup::CommandLine parsed = ParseArguments(c.arguments);
    EXPECT_EQ(parsed.request, c.request) << c.arguments;
    EXPECT_EQ(parsed.scope, c.scope) << c.arguments;
    EXPECT_EQ(parsed.error, c.error) << c.arguments;
  }
}

// Wine runs every program with administrator rights: the test decides.
// Without them /ALLUSERS is refused as the installation's own failure, in
// the /LOG, before anything is made; the wizard takes the request along
// and refuses it before its window shows.
TEST(UnattendedRun, AllUsersWithoutTheRightsIsRefusedBeforeAnythingIsMade) {
  test::TempFolder root;
  const std::string log = root / "setup.log";
  const auto withoutRights = [] { return false; };
  install::ScopeRequest scope = install::ScopeRequest::Default;
  EXPECT_EQ(setup::RunCommandLine(
                "Setup.exe /S /ALLUSERS \"/LOG=" + log + "\" /D=" + (root / "Quorvelle"), scope,
                withoutRights),
            setup::kInstallationFailed);
  EXPECT_EQ(test::ReadFile(log), std::string("Error: ") + install::kAllUsersNeedsRights + ".\r\n");
  EXPECT_FALSE(platform::DirectoryExists(root / "Quorvelle"));
  EXPECT_EQ(scope, install::ScopeRequest::Default);

  EXPECT_EQ(setup::RunCommandLine("Setup.exe /ALLUSERS", scope, withoutRights), std::nullopt);
  EXPECT_EQ(scope, install::ScopeRequest::AllUsers);
}

// A management tool reads 0 as "installed": the usage asked for with /S is
// no success.
TEST(UnattendedRun, TheUsageAskedForWithSIsNoSuccess) {
  install::ScopeRequest scope = install::ScopeRequest::Default;
  const auto withRights = [] { return true; };
  EXPECT_EQ(setup::RunCommandLine("Setup.exe /S /?", scope, withRights), setup::kCommandLineWrong);
}

TEST(CommandLine, AWrongSwitchKeepsTheLogFileOfASilentRun) {
  const setup::CommandLine parsed = ParseArguments(" /X /S /LOG=C:\\setup.log");
  EXPECT_EQ(parsed.request, Request::Error);
  EXPECT_TRUE(parsed.silent);
  EXPECT_EQ(parsed.options.logFile, "C:\\setup.log");
}

TEST(CommandLine, TheArgumentsFollowTheProgramsName) {
  EXPECT_EQ(setup::ArgumentsOf("\"C:\\My Downloads\\Setup.exe\" /S /D=C:\\A"), " /S /D=C:\\A");
  EXPECT_EQ(setup::ArgumentsOf("\"C:\\My Downloads\\Setup.exe\"/S"), "/S");
  EXPECT_EQ(setup::ArgumentsOf("Setup.exe /S"), " /S");
  EXPECT_EQ(setup::ArgumentsOf("C:\\Downloads\\Setup.exe"), "");
  EXPECT_EQ(setup::ArgumentsOf("\"C:\\Downloads\\Setup.exe"), "");
}

}  // namespace
