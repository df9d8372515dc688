// The uninstaller's runtime stand-ins (platform/runtime/without_exceptions.cpp)
// in a program built the way the uninstaller is: each misuse the library
// reports, and memory run out, ends a copy of this program with the exit
// code of a failed removal. Prints each case that ended otherwise and ends
// with 1 when there was one.
#include "platform/unique_resource.h"
#include "uninstaller/unattended_removal.h"
#include "tests/runtime/opaque.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <new>
#include <string>
#include <vector>

namespace {

struct Case {
  const char* name;
  void (*run)();
  DWORD exitCode;
};
const Case kCases[] = {
    {"vector::at past the end", [] { kept = &std::vector<int>(2).at(Opaque(2)); },
     uninstaller::kRemovalFailed},
    {"vector::reserve beyond max_size",
     [] { std::vector<int>().reserve(Opaque(std::vector<int>().max_size() + 1)); },
     uninstaller::kRemovalFailed},
    {"string from a null pointer", [] { std::string text(Opaque<const char*>(nullptr)); },
     uninstaller::kRemovalFailed},
    {"stoi of no number", [] { std::stoi(std::string(Opaque("x"))); }, uninstaller::kRemovalFailed},
    {"empty std::function", [] { std::function<void()>()(); }, uninstaller::kRemovalFailed},
    {"allocator beyond max_size",
     [] { kept = std::allocator<int>().allocate(Opaque(SIZE_MAX / 8)); },
     uninstaller::kRemovalFailed},
    {"allocator beyond the address space",
     [] { kept = std::allocator<int>().allocate(Opaque(SIZE_MAX / 2)); },
     uninstaller::kRemovalFailed},
    {"operator new of a huge size", [] { kept = ::operator new(Opaque(SIZE_MAX - 64)); },
     uninstaller::kRemovalFailed},
    {"vector grown beyond memory",
     [] { std::vector<char>().reserve(Opaque(std::vector<char>().max_size())); },
     uninstaller::kRemovalFailed},
    // The forms that must not throw answer with no memory and go on.
    {"nothrow new of a huge size",
     [] {
       kept = ::operator new(Opaque(SIZE_MAX / 2), std::nothrow);
       if (kept) std::_Exit(1);
     },
     0},
    {"nothrow new[] of a huge size",
     [] {
       kept = new (std::nothrow) char[Opaque(SIZE_MAX / 2)];
       if (kept) std::_Exit(1);
     },
     0},
};

// Runs the case at `index` in a copy of this program; its exit code.
DWORD ExitCodeOfCopy(std::size_t index) {
  wchar_t program[MAX_PATH];
  GetModuleFileNameW(nullptr, program, MAX_PATH);
  std::wstring commandLine = L"\"" + std::wstring(program) + L"\" " + std::to_wstring(index);
  STARTUPINFOW startup{sizeof startup};
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(program, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &started)) {
    return 0xFFFFFFFF;
  }
  platform::UniqueHandle process(started.hProcess);
  platform::UniqueHandle thread(started.hThread);
  WaitForSingleObject(process.get(), INFINITE);
  DWORD exitCode = 0xFFFFFFFF;
  GetExitCodeProcess(process.get(), &exitCode);
  return exitCode;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2) {  // a copy, running one case
    kCases[std::strtoul(argv[1], nullptr, 10)].run();
    return 0;
  }
  int failures = 0;
  for (std::size_t i = 0; i < std::size(kCases); ++i) {
    const DWORD exitCode = ExitCodeOfCopy(i);
    if (exitCode == kCases[i].exitCode) continue;
    ++failures;
    std::fprintf(stderr, "FAILED: %s ended with %lu\n", kCases[i].name, exitCode);
  }
  std::fprintf(stderr, "%d failed cases\n", failures);
  return failures == 0 ? 0 : 1;
}
