// Starting the copy that removes the installation, and the copy's own exit.
#include "uninstaller/self_removal.h"

#include "platform/error.h"
#include "platform/security.h"
#include "platform/unique_resource.h"
#include "platform/paths.h"
#include "platform/text.h"

#include <windows.h>
#include <sddl.h>

#include <charconv>
#include <cstdint>
#include <vector>
#include <utility>

namespace uninstaller {
namespace {

constexpr const char* FinishSwitch = "/finish";
constexpr DWORD OriginalExitTimeoutMs = 60 * 1000;

Outcome NotStartedByItself() {
  return Outcome::Failed("The uninstaller was not started by itself, so nothing was removed.");
}

std::string FileNameOf(const std::string& path) {
  return path.substr(path.find_last_of('\\') + 1);
}

// The user this process runs as, in the text form of a security identifier.
Result<std::string> UserSidText() {
  HANDLE rawToken = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &rawToken)) {
    return NotPrepared("OpenProcessToken", GetLastError());
  }
  const platform::UniqueHandle token(rawToken);
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);  // asks only for the size
  std::vector<TOKEN_USER> user(size / sizeof(TOKEN_USER) + 1);
  size = static_cast<DWORD>(user.size() * sizeof(TOKEN_USER));
  char* text = nullptr;
  if (!GetTokenInformation(token.get(), TokenUser, user.data(), size, &size)) {
    return NotPrepared("GetTokenInformation", GetLastError());
  }
  if (!ConvertSidToStringSidA(user[0].User.Sid, &text)) {
    return NotPrepared("ConvertSidToStringSidA", GetLastError());
  }
  const platform::UniqueLocalMemory owned(text);
  return std::string(text);
}

// Full control for this user and the system, nothing for anyone else and
// nothing inherited from the temporary folder, which other programs share:
// the copy runs with administrator rights from this folder.
Result<platform::UniqueLocalMemory> PrivateFolderSecurity() {
  const auto user = UserSidText();
  if (user.failed()) return user.outcome();
  platform::BuiltSecurity built =
      platform::SecurityFromText("D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;" + *user + ")");
  if (!built.descriptor) return NotPrepared(built.failure.function, built.failure.code);
  return std::move(built.descriptor);
}

// A handle's number as the command line carries it.
bool ReadHandle(const char* number, void*& handle) {
  const char* end = number + lstrlenA(number);
  unsigned long long value = 0;
  const auto result = std::from_chars(number, end, value);
  if (result.ec != std::errc() || result.ptr != end) return false;
  handle = reinterpret_cast<void*>(static_cast<std::uintptr_t>(value));
  return true;
}

// The path of the program a process runs; empty when it cannot be learnt.
std::string ProgramOf(HANDLE process) {
  std::wstring path(32768, L'\0');
  DWORD size = static_cast<DWORD>(path.size());
  if (!QueryFullProcessImageNameW(process, 0, path.data(), &size)) return {};
  return platform::WideToAnsi(path.substr(0, size));
}

// The whole file; empty when it cannot be read.
std::string Contents(const std::string& path) {
  const platform::UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ,
                                              FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                              OPEN_EXISTING, 0, nullptr));
  LARGE_INTEGER size{};
  if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart > 64 * 1024 * 1024) return {};
  std::string contents(static_cast<size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!ReadFile(file.get(), contents.data(), static_cast<DWORD>(contents.size()), &read, nullptr) ||
      read != contents.size()) {
    return {};
  }
  return contents;
}

bool IsThisUninstaller(const std::string& program) {
  const auto self = OwnProgramPath();
  if (self.failed()) return false;
  const std::string own = Contents(*self);
  return !own.empty() && Contents(program) == own;
}

unsigned long long NumberOf(void* handle) {
  return static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(handle));
}

}  // namespace

Outcome NotPrepared(const char* function, unsigned long error) {
  return Outcome::Failed(
      platform::Format(
          "The uninstaller could not prepare the removal (%s), so nothing was removed.",
          platform::SystemErrorText(error).c_str()),
      platform::Win32Failure(function, error));
}

// The temporary folder lies in the user's profile, whose name the code page
// may not spell: it is read in UTF-16 and used by its ANSI spelling.
Result<std::string> CreatePrivateFolder() {
  wchar_t wideTemp[MAX_PATH + 1];
  const DWORD length = GetTempPathW(MAX_PATH + 1, wideTemp);
  if (length == 0 || length > MAX_PATH) return NotPrepared("GetTempPathW", GetLastError());
  const std::string spelled = platform::AnsiSpelling(wideTemp);
  if (spelled.empty()) return NotPrepared("GetShortPathNameW", ERROR_NO_UNICODE_TRANSLATION);
  const char* temp = spelled.c_str();
  const auto descriptor = PrivateFolderSecurity();
  if (descriptor.failed()) return descriptor.outcome();
  SECURITY_ATTRIBUTES security{sizeof security, descriptor->get(), FALSE};
  for (unsigned attempt = 0;; ++attempt) {
    const std::string folder =
        platform::Format("%sQuorvelle-uninstall-%lu-%u", temp, GetCurrentProcessId(), attempt);
    if (CreateDirectoryA(folder.c_str(), &security)) return folder + "\\";
    if (GetLastError() != ERROR_ALREADY_EXISTS || attempt > 100) {
      return NotPrepared("CreateDirectoryA", GetLastError());
    }
  }
}

// Read in UTF-16: started from a folder in a profile the code page does not
// spell, the ANSI name would name no file.
// Read in UTF-16: started from a folder in a profile the code page does not
// spell, the ANSI name would name no file.
Result<std::string> OwnProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return NotPrepared("GetModuleFileNameW", GetLastError());
    if (length < path.size()) {
      std::string spelled = platform::AnsiSpelling(path.substr(0, length));
      if (spelled.empty()) return NotPrepared("GetShortPathNameW", ERROR_NO_UNICODE_TRANSLATION);
      return spelled;
    }
    path.resize(path.size() * 2);  // truncated: ask again with more room
  }
}

std::string FolderOf(const std::string& path) {
  const size_t backslash = path.find_last_of('\\');
  return backslash == std::string::npos ? std::string() : path.substr(0, backslash + 1);
}

Outcome StartFinisher(const std::string& originalProgram, void* resultPipe) {
  const auto privateFolder = CreatePrivateFolder();
  if (privateFolder.failed()) return privateFolder.outcome();
  const std::string& folder = *privateFolder;
  const std::string copy = folder + FileNameOf(originalProgram);
  if (!CopyFileA(originalProgram.c_str(), copy.c_str(), TRUE)) {
    const DWORD error = GetLastError();
    RemoveDirectoryA(folder.c_str());  // our own empty folder; not examined on purpose
    return NotPrepared("CopyFileA", error);
  }
  HANDLE rawSelf = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &rawSelf,
                       SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, TRUE, 0)) {
    return NotPrepared("DuplicateHandle", GetLastError());
  }
  platform::UniqueHandle self(rawSelf);
  std::string commandLine = platform::Format("\"%s\" %s %llu \"%s\"", copy.c_str(), FinishSwitch,
                                             NumberOf(self.get()), originalProgram.c_str());
  if (resultPipe) commandLine += platform::Format(" %llu", NumberOf(resultPipe));
  STARTUPINFOA startup{sizeof startup};
  PROCESS_INFORMATION process{};
  // The copy runs in its own folder, so that no process keeps the product's
  // folder busy as its current folder.
  if (!CreateProcessA(copy.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                      folder.c_str(), &startup, &process)) {
    return NotPrepared("CreateProcessA", GetLastError());
  }
  platform::UniqueHandle copyProcess(process.hProcess);
  platform::UniqueHandle copyThread(process.hThread);
  return {};
}

bool ReadFinishArguments(int argc, char** argv, FinishArguments& arguments) {
  if ((argc != 4 && argc != 5) || lstrcmpiA(argv[1], FinishSwitch) != 0) return false;
  FinishArguments read;
  if (!ReadHandle(argv[2], read.originalProcess)) return false;
  if (argc == 5 && !ReadHandle(argv[4], read.resultPipe)) return false;
  // The log is looked for beside the original, so its folder must be named.
  if (FolderOf(argv[3]).empty()) return false;
  read.originalProgram = argv[3];
  arguments = std::move(read);
  return true;
}

Outcome CheckFinishArguments(const FinishArguments& arguments) {
  const auto original = static_cast<HANDLE>(arguments.originalProcess);
  const DWORD id = original ? GetProcessId(original) : 0;
  const std::string& program = arguments.originalProgram;
  const bool handedOver =
      id != 0 && id != GetCurrentProcessId() && platform::PathInOneForm(program) == program &&
      platform::IsSamePath(ProgramOf(original), program) && IsThisUninstaller(program);
  return handedOver ? Outcome() : NotStartedByItself();
}

Outcome WaitForOriginal(const FinishArguments& arguments) {
  platform::UniqueHandle original(static_cast<HANDLE>(arguments.originalProcess));
  const DWORD result = WaitForSingleObject(original.get(), OriginalExitTimeoutMs);
  // WAIT_FAILED: no handle was handed over, so no one confirmed a removal.
  if (result == WAIT_FAILED) return NotStartedByItself();
  // On a time-out the removal still goes on; the original's file then stays
  // and is reported like any other file in use.
  return {};
}

void ScheduleOwnRemoval() {
  // Without the right to schedule, the copy stays in the temporary folder;
  // the results are not examined on purpose.
  const auto self = OwnProgramPath();
  if (self.failed()) return;
  MoveFileExA(self->c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  const std::string folder = FolderOf(*self);
  MoveFileExA(folder.substr(0, folder.size() - 1).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

}  // namespace uninstaller
