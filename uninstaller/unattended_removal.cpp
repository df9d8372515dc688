#include "uninstaller/unattended_removal.h"

#include "platform/error.h"
#include "platform/files.h"
#include "platform/unique_resource.h"

#include <windows.h>

#include <algorithm>

namespace uninstaller {
namespace {

bool SameText(const std::string& a, const std::string& b) {
  return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

// The copy is the only one holding the writing end, so the original reads
// until the copy has sent everything or has ended without a word.
void CreateResultPipe(platform::UniqueHandle& readEnd, platform::UniqueHandle& writeEnd) {
  if (!CreatePipe(readEnd.put(), writeEnd.put(), nullptr, 0) ||
      !SetHandleInformation(writeEnd.get(), HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT)) {
    platform::Raise(platform::Format(
        "The uninstaller could not prepare the removal (%s), so nothing was removed.",
        platform::SystemErrorText(GetLastError()).c_str()));
  }
}

// The outcome as the copy sends it: the exit code's digit, a line end, the text.
void SendOutcome(HANDLE pipe, int exitCode, const std::string& text) {
  platform::WriteLine(pipe, std::to_string(exitCode));
  platform::WriteLine(pipe, text);
}

int ReceiveOutcome(HANDLE pipe, std::string& text) {
  std::string received;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(pipe, buffer, sizeof buffer, &read, nullptr) && read > 0) {
    received.append(buffer, read);
  }
  const size_t lineEnd = received.find("\r\n");
  if (lineEnd != 1 || received[0] < '0' || received[0] > '9') {
    text = "The removal ended before it reported what it removed.";
    return kRemovalFailed;
  }
  text = received.substr(3);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return received[0] - '0';
}

// Once the original has ended, its file can go, and with it the folders it kept.
void RemoveOriginal(const FinishArguments& arguments, const InstallLogContents& log) {
  WaitForOriginal(arguments);
  // Already counted as removed: a failure here is not examined on purpose.
  DeleteLoggedFile(arguments.originalProgram);
  RemoveEmptyFolders(log.folders);
}

}  // namespace

bool IsUnattendedRequest(int argc, char** argv) {
  return argc == 2 && SameText(argv[1], "/S");
}

RemovalReport WithoutOriginal(RemovalReport report, const std::string& originalProgram) {
  const std::string folder = FolderOf(originalProgram);
  const std::string folderPath = folder.substr(0, folder.size() - 1);
  const std::string name = originalProgram.substr(folder.size());
  std::erase_if(report.files,
                [&](const FileNotRemoved& file) { return SameText(file.path, originalProgram); });
  for (FolderKept& kept : report.folders) {
    if (SameText(kept.path, folderPath)) {
      std::erase_if(kept.contents, [&](const std::string& entry) { return SameText(entry, name); });
    }
  }
  std::erase_if(report.folders, [](const FolderKept& kept) { return kept.contents.empty(); });
  return report;
}

int ExitCodeOf(const RemovalReport& report) {
  if (!report.keyFailure.empty()) return kRemovalFailed;
  return report.Complete() ? kAllRemoved : kSomethingKept;
}

int RemoveUnattended() noexcept {
  try {
    const std::string program = OwnProgramPath();
    // Without a log nothing may be removed: fail before anything is copied.
    ReadInstallLog(FolderOf(program) + "install.log");
    platform::UniqueHandle readEnd, writeEnd;
    CreateResultPipe(readEnd, writeEnd);
    StartFinisher(program, writeEnd.get());
    writeEnd.reset();
    std::string text;
    const int exitCode = ReceiveOutcome(readEnd.get(), text);
    if (exitCode != kAllRemoved) platform::WriteStandardError(text);
    return exitCode;
  } catch (const platform::SetupError& error) {
    platform::WriteStandardError(platform::WithClosingFullStop(error.text()));
  } catch (...) {
    platform::WriteStandardError("Unexpected error.");
  }
  return kRemovalFailed;
}

void FinishUnattended(const FinishArguments& arguments) noexcept {
  platform::UniqueHandle pipe(static_cast<HANDLE>(arguments.resultPipe));
  try {
    const std::string folder = FolderOf(arguments.originalProgram);
    const auto log = ReadInstallLog(folder + "install.log");
    const std::string name = arguments.originalProgram.substr(folder.size());
    const auto report =
        WithoutOriginal(RemoveInstallation(log, folder, name), arguments.originalProgram);
    SendOutcome(pipe.get(), ExitCodeOf(report), DescribeReport(log, report));
    pipe.reset();  // the original learns the outcome and ends
    RemoveOriginal(arguments, log);
  } catch (const platform::SetupError& error) {
    // Sent only while the original still waits for it.
    SendOutcome(pipe.get(), kRemovalFailed, platform::WithClosingFullStop(error.text()));
  } catch (...) {
    SendOutcome(pipe.get(), kRemovalFailed, "Unexpected error.");
  }
}

}  // namespace uninstaller
