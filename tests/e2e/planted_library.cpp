// A DLL that someone left beside Setup.exe under the name of a system
// library. The build makes one copy per name; whichever copy gets loaded
// leaves C:\planted\<its file name>.marker, holding the path of the program
// that loaded it, so a test sees any load at all without a debugger.
#include "platform/unique_resource.h"

#include <windows.h>

namespace {

void LeaveMarker(HINSTANCE self) {
  char library[MAX_PATH];
  const DWORD length = GetModuleFileNameA(self, library, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  const char* name = library;
  for (const char* c = library; *c; ++c) {
    if (*c == '\\' || *c == '/') name = c + 1;
  }
  char marker[MAX_PATH + 32] = "C:\\planted\\";
  lstrcatA(lstrcatA(marker, name), ".marker");
  // An existing folder is as good as a new one: the result is not examined.
  CreateDirectoryA("C:\\planted", nullptr);
  const platform::UniqueFile file(CreateFileA(marker, GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  char program[MAX_PATH];
  const DWORD programLength = GetModuleFileNameA(nullptr, program, MAX_PATH);
  DWORD written = 0;
  // A marker without its text still marks the load: the result is not examined.
  SetFilePointer(file.get(), 0, nullptr, FILE_END);
  WriteFile(file.get(), program, programLength, &written, nullptr);
  WriteFile(file.get(), "\r\n", 2, &written, nullptr);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) LeaveMarker(self);
  return TRUE;
}
