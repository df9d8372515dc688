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

using uninstaller::Outcome;

const std::string Caption = std::string(product::FullName) + " uninstall";

bool ConfirmRemoval(const uninstaller::InstallLogContents& log) {
  const std::string text = "Do you want to remove " + log.fullName + " " + log.version +
                           " and all of its components from this computer?";
  return MessageBoxA(nullptr, text.c_str(), Caption.c_str(),
                     MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

// The original program: checks the log, asks, hands over to the copy.
Outcome Start() {
  const auto program = uninstaller::OwnProgramPath();
  if (program.failed()) return program.outcome();
  const auto log = uninstaller::ReadInstallLog(uninstaller::FolderOf(*program) + "install.log");
  if (log.failed()) return log.outcome();
  return ConfirmRemoval(*log) ? uninstaller::StartFinisher(*program) : Outcome();
}

// The copy: removes the installation once the original has ended.
Outcome Finish(const uninstaller::FinishArguments& arguments) {
  if (const Outcome waited = uninstaller::WaitForOriginal(arguments); waited.failed()) {
    return waited;
  }
  const std::string folder = uninstaller::FolderOf(arguments.originalProgram);
  const auto log = uninstaller::ReadInstallLog(folder + "install.log");
  if (log.failed()) return log.outcome();
  const std::string name = arguments.originalProgram.substr(folder.size());
  const auto report =
      uninstaller::RemoveInstallation(*log, folder, name, uninstaller::EntryLocationFor(folder));
  MessageBoxA(nullptr, uninstaller::DescribeReport(*log, report).c_str(), Caption.c_str(),
              MB_OK | (report.Complete() ? MB_ICONINFORMATION : MB_ICONWARNING));
  return {};
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
  if (isCopy) {
    if (const Outcome checked = uninstaller::CheckFinishArguments(arguments); checked.failed()) {
      return RefuseCopy(arguments, platform::WithClosingFullStop(checked.failure()));
    }
  }
  if (isCopy && arguments.resultPipe) {
    uninstaller::FinishUnattended(arguments);
    uninstaller::ScheduleOwnRemoval();
    return 0;
  }
  // This is the program's outermost frame: the one place a failure is shown.
  const Outcome outcome = isCopy ? Finish(arguments) : Start();
  if (outcome.failed()) {
    MessageBoxA(nullptr, platform::WithClosingFullStop(outcome.failure()).c_str(), Caption.c_str(),
                MB_OK | MB_ICONERROR);
  }
  if (isCopy) uninstaller::ScheduleOwnRemoval();
  return 0;
}
