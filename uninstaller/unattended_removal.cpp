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
Outcome CreateResultPipe(platform::UniqueHandle& readEnd, platform::UniqueHandle& writeEnd) {
  if (!CreatePipe(readEnd.put(), writeEnd.put(), nullptr, 0)) {
    return NotPrepared("CreatePipe", GetLastError());
  }
  if (!SetHandleInformation(writeEnd.get(), HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT)) {
    return NotPrepared("SetHandleInformation", GetLastError());
  }
  return {};
}

// Checks the log and hands the removal to a copy of this program, which
// sends the outcome through the pipe whose reading end this returns.
Result<platform::UniqueHandle> HandOver() {
  const auto program = OwnProgramPath();
  if (program.failed()) return program.outcome();
  // Without a log nothing may be removed: fail before anything is copied.
  const auto log = ReadInstallLog(FolderOf(*program) + "install.log");
  if (log.failed()) return log.outcome();
  platform::UniqueHandle readEnd, writeEnd;
  if (const Outcome pipe = CreateResultPipe(readEnd, writeEnd); pipe.failed()) return pipe;
  if (const Outcome started = StartFinisher(*program, writeEnd.get()); started.failed()) {
    return started;
  }
  return readEnd;  // the writing end closes here: the copy holds the only other one
}

// A failure as an administrator reads it on standard error: the text the
// user would see, then the diagnosis line when a system call failed.
std::string ReportedFailure(const Outcome& failed) {
  std::string text = platform::WithClosingFullStop(failed.failure());
  if (const std::string diagnosis = platform::DiagnosisLine(failed.call()); !diagnosis.empty()) {
    text += "\r\n" + diagnosis;
  }
  return text;
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
  // The outcome is sent already; a handle no original handed over was
  // refused before the removal began.
  if (WaitForOriginal(arguments).failed()) return;
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

int RemoveUnattended() {
  const auto readEnd = HandOver();
  if (readEnd.failed()) {
    platform::WriteStandardError(ReportedFailure(readEnd.outcome()));
    return kRemovalFailed;
  }
  std::string text;
  const int exitCode = ReceiveOutcome(readEnd->get(), text);
  if (exitCode != kAllRemoved) platform::WriteStandardError(text);
  return exitCode;
}

void FinishUnattended(const FinishArguments& arguments) {
  platform::UniqueHandle pipe(static_cast<HANDLE>(arguments.resultPipe));
  const std::string folder = FolderOf(arguments.originalProgram);
  const auto log = ReadInstallLog(folder + "install.log");
  if (log.failed()) {
    SendOutcome(pipe.get(), kRemovalFailed, ReportedFailure(log.outcome()));
    return;
  }
  const std::string name = arguments.originalProgram.substr(folder.size());
  const auto report = WithoutOriginal(
      RemoveInstallation(*log, folder, name, EntryLocationFor(folder)), arguments.originalProgram);
  SendOutcome(pipe.get(), ExitCodeOf(report), DescribeReport(*log, report));
  pipe.reset();  // the original learns the outcome and ends
  RemoveOriginal(arguments, *log);
}

}  // namespace uninstaller
