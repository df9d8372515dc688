#include "platform/system_library.h"

#include <string>

namespace platform {
namespace {

HMODULE Kernel() {
  return GetModuleHandleA("kernel32.dll");
}

}  // namespace

UniqueModule LoadSystemLibrary(const char* name) {
  // LOAD_LIBRARY_SEARCH_SYSTEM32 is understood where AddDllDirectory exists.
  if (GetProcAddress(Kernel(), "AddDllDirectory")) {
    return UniqueModule(LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
  }
  char folder[MAX_PATH];
  const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  return UniqueModule(LoadLibraryA((std::string(folder) + "\\" + name).c_str()));
}

void HardenDllSearch() {
  using SetDefaultDirectories = BOOL(WINAPI*)(DWORD);
  using SetDepPolicy = BOOL(WINAPI*)(DWORD);
  if (auto setDefault = LookUp<SetDefaultDirectories>(Kernel(), "SetDefaultDllDirectories")) {
    setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
  }
  SetDllDirectoryA("");  // the current folder leaves the search order
  SetSearchPathMode(BASE_SEARCH_PATH_ENABLE_SAFE_SEARCHMODE | BASE_SEARCH_PATH_PERMANENT);
  // 32-bit processes only; 64-bit ones always have it and lack the function.
  if (auto setDep = LookUp<SetDepPolicy>(Kernel(), "SetProcessDEPPolicy")) {
    setDep(PROCESS_DEP_ENABLE);
  }
}

}  // namespace platform
