// The product's uninstaller: reads install.log beside it, asks once, and
// removes what the log lists through a copy of itself (see self_removal.h).
#include "platform/error.h"
#include "platform/files.h"
#include "platform/system_library.h"
#include "product/product_definition.h"
#include "uninstaller/removal.h"
#include "uninstaller/self_removal.h"
#include "uninstaller/unattended_removal.h"
#include "uninstaller/uninstall_log.h"

#include <windows.h>

#include <stdlib.h>

#include <string>

namespace {

const std::string Caption = std::string(product::FullName) + " uninstall";

bool ConfirmRemoval(const uninstaller::InstallLogContents& log) {
  const std::string text = "Do you want to remove " + log.fullName + " " + log.version +
                           " and all of its components from this computer?";
  return MessageBoxA(nullptr, text.c_str(), Caption.c_str(),
                     MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

// The original program: checks the log, asks, hands over to the copy.
void Start() {
  const std::string program = uninstaller::OwnProgramPath();
  const auto log = uninstaller::ReadInstallLog(uninstaller::FolderOf(program) + "install.log");
  if (ConfirmRemoval(log)) uninstaller::StartFinisher(program);
}

// The copy: removes the installation once the original has ended.
void Finish(const uninstaller::FinishArguments& arguments) {
  uninstaller::WaitForOriginal(arguments);
  const std::string folder = uninstaller::FolderOf(arguments.originalProgram);
  const auto log = uninstaller::ReadInstallLog(folder + "install.log");
  const std::string name = arguments.originalProgram.substr(folder.size());
  const auto report = uninstaller::RemoveInstallation(log, folder, name);
  MessageBoxA(nullptr, uninstaller::DescribeReport(log, report).c_str(), Caption.c_str(),
              MB_OK | (report.Complete() ? MB_ICONINFORMATION : MB_ICONWARNING));
}

// A copy whose command line is not what the original hands over says so
// and ends: nothing removed, nothing scheduled.
int RefuseCopy(const uninstaller::FinishArguments& arguments, const std::string& text) {
  if (arguments.resultPipe) {
    platform::WriteStandardError(text);
  } else {
    MessageBoxA(nullptr, text.c_str(), Caption.c_str(), MB_OK | MB_ICONERROR);
  }
  return uninstaller::kRemovalFailed;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Before anything loads a library: the copy runs elevated from the
  // temporary folder, where anyone running as this user may put a DLL.
  platform::HardenDllSearch();
  uninstaller::FinishArguments arguments;
  const bool isCopy = uninstaller::ReadFinishArguments(__argc, __argv, arguments);
  // Uninstall.exe /S: no question, no message, the outcome in the exit code.
  if (!isCopy && uninstaller::IsUnattendedRequest(__argc, __argv)) {
    return uninstaller::RemoveUnattended();
  }
  // This is the program's outermost frame: the one place a failure is shown.
  try {
    if (isCopy) uninstaller::CheckFinishArguments(arguments);
  } catch (const platform::SetupError& error) {
    return RefuseCopy(arguments, platform::WithClosingFullStop(error.text()));
  }
  if (isCopy && arguments.resultPipe) {
    uninstaller::FinishUnattended(arguments);
    uninstaller::ScheduleOwnRemoval();
    return 0;
  }
  try {
    isCopy ? Finish(arguments) : Start();
  } catch (const platform::SetupError& error) {
    MessageBoxA(nullptr, platform::WithClosingFullStop(error.text()).c_str(), Caption.c_str(),
                MB_OK | MB_ICONERROR);
  }
  if (isCopy) uninstaller::ScheduleOwnRemoval();
  return 0;
}
