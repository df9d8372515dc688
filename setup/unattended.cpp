#include "setup/unattended.h"

#include "install/installer.h"
#include "platform/com.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/security.h"
#include "product/product_definition.h"
#include "product/program_texts.h"
#include "setup/command_line.h"
#include "install/destination_folder.h"

#include <new>
#include <string>

namespace setup {
namespace {

// Where a run from the command line says what happened: with /S the /LOG
// file and standard error, never a window; without /S a message box. An
// administrator reads the first two, so they also name the failed system
// call (platform::DiagnosisLine); the box says only what the wizard would.
class Report {
 public:
  void SetSilent(bool silent) noexcept { silent_ = silent; }

  // Raises `Cannot create file "<path>". <reason>` when the file cannot be made.
  void OpenLog(const std::string& path) {
    if (!path.empty()) log_ = platform::CreateFileForWriting(path);
  }

  void Line(const std::string& text) noexcept { platform::WriteLine(log_.get(), text); }

  void Error(const std::string& text, const platform::FailedCall& call = {}) {
    const std::string shown = platform::WithClosingFullStop(text);
    if (!silent_) {
      Box(shown + "\n\n" + kUsage, MB_ICONERROR);
      return;
    }
    Line("Error: " + shown);
    platform::WriteStandardError(shown);
    if (const std::string diagnosis = platform::DiagnosisLine(call); !diagnosis.empty()) {
      Line(diagnosis);
      platform::WriteStandardError(diagnosis);
    }
  }

  void Usage() {
    if (silent_) {
      platform::WriteStandardError(kUsage);
    } else {
      Box(kUsage, MB_ICONINFORMATION);
    }
  }

 private:
  static void Box(const std::string& text, UINT icon) noexcept {
    MessageBoxA(nullptr, text.c_str(), product::kApplicationTitle, MB_OK | icon);
  }

  bool silent_ = false;
  platform::UniqueFile log_;
};

// What the installation asks of the wizard, answered from the switches.
class UnattendedHost final : public install::InstallationHost {
 public:
  UnattendedHost(const SilentOptions& options, Report& report)
      : options_(options), report_(report) {}

  bool DeskIconChecked() override { return options_.desktopIcon; }
  bool StartIconChecked() override { return options_.startMenuIcons; }
  bool RunProgramChecked() override { return options_.runProgram; }
  void ShowDecompressionError() override { report_.Error(product::kErrorDecompressing); }
  HWND OwnerWindow() override { return nullptr; }
  bool OpenHelpText() override { return false; }

 private:
  const SilentOptions& options_;
  Report& report_;
};

// One log line per record, in the order the installation made them.
std::string RecordLine(install::Recorded what, const std::string& path, install::Scope scope) {
  switch (what) {
    case install::Recorded::File:
      return "File: " + path;
    case install::Recorded::Link:
      return "Link: " + path;
    case install::Recorded::Folder:
      return "Folder: " + path;
    case install::Recorded::Listed:
      // The product makes these itself when it runs; install.log lists them
      // so that its uninstaller removes them.
      return "Listed for removal: " + path;
    case install::Recorded::RegistryKey:
      return std::string("Registry key: ") + install::UninstallRootName(scope) + "\\" + path;
  }
  return path;
}

// A /LOG inside the destination would overwrite the installation's own
// files (install.log, the program) or be removed with them: a command-line
// error, told before the /LOG is opened. Empty when the /LOG lies elsewhere.
std::string LogInsideDestination(const std::string& logFile, const std::string& destination) {
  const std::string folder = platform::ResolvedFolder(destination);
  if (logFile.empty() || folder.empty()) return {};
  const std::string log = platform::FullPathName(logFile);
  for (std::string level = log; !level.empty(); level = platform::FolderOf(level)) {
    if (platform::IsSamePath(level, folder)) {
      return platform::Format("/LOG= must name a file outside the destination folder %s, not %s.",
                              platform::WithoutTrailingBackslash(folder).c_str(), log.c_str());
    }
    if (level.size() <= 3) break;  // a drive's root: no level above it
  }
  return {};
}

int Install(const SilentOptions& options, install::Scope scope, const std::string& destination,
            Report& report, const std::function<bool()>& isElevated) {
  // The shell links rely on this thread's single-threaded apartment.
  platform::ComApartment com;
  report.Line(std::string("Installing ") + product::FullName + " " + product::Version + " into " +
              destination);
  install::Installer installer(nullptr, install::LocationsFor(scope), isElevated);
  installer.ReportRecordsTo([&](install::Recorded what, const std::string& path) {
    report.Line(RecordLine(what, path, scope));
  });
  UnattendedHost host(options, report);
  if (!installer.RunInstallation(destination, host)) return kInstallationFailed;
  report.Line("Installed.");
  return kInstalled;
}

std::optional<int> Run(const CommandLine& command, Report& report, int& failureCode,
                       install::ScopeRequest& wizardScope,
                       const std::function<bool()>& isElevated) {
  report.SetSilent(command.silent);
  switch (command.request) {
    case Request::Wizard:
      wizardScope = command.scope;
      return std::nullopt;
    case Request::Usage:
      // A management tool reads 0 as "installed": with /S the usage is no success.
      report.Usage();
      return command.silent ? kCommandLineWrong : kInstalled;
    case Request::Error:
      if (command.silent) report.OpenLog(command.options.logFile);
      report.Error(command.error);
      return kCommandLineWrong;
    case Request::Install: {
      const SilentOptions& options = command.options;
      const bool elevated = isElevated();
      const install::Scope scope = install::ChooseScope(command.scope, elevated);
      const std::string destination = options.destination.empty()
                                          ? install::DefaultDestinationFolder(scope)
                                          : options.destination;
      if (const std::string wrong = LogInsideDestination(options.logFile, destination);
          !wrong.empty()) {
        report.Error(wrong);
        return kCommandLineWrong;
      }
      report.OpenLog(options.logFile);
      failureCode = kInstallationFailed;
      // Refused as the installation's own failure, told in the /LOG.
      install::CheckScopeRights(command.scope, elevated);
      return Install(options, scope, destination, report, isElevated);
    }
  }
  return kCommandLineWrong;
}

}  // namespace

std::optional<int> RunCommandLine(std::string_view commandLine, install::ScopeRequest& wizardScope,
                                  const std::function<bool()>& isElevated) noexcept {
  Report report;
  // Until the installation starts, a failure means nothing was written.
  int failureCode = kCommandLineWrong;
  try {
    return Run(ParseArguments(ArgumentsOf(commandLine)), report, failureCode, wizardScope,
               isElevated);
  } catch (const platform::SetupError& error) {
    report.Error(error.text(), error.call());
  } catch (const std::bad_alloc&) {
    report.Error(product::kOutOfMemory);
  } catch (...) {
    report.Error(product::kUnexpectedError);
  }
  return failureCode;
}

}  // namespace setup
