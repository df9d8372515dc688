// Libraries loaded at run time come from the system folder only, never from
// the folder the program was started from (usually Downloads), where someone
// may have put a DLL of the same name.
#pragma once

#include "platform/unique_resource.h"

#include <windows.h>

namespace platform {

UniqueModule LoadSystemLibrary(const char* name);

// A function of a module, or null; through the generic function type, which
// converts to any other.
template <typename Function>
Function LookUp(HMODULE module, const char* name) {
  if (!module) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// Restricts the program's own DLL search to the system folder, turns on the
// safe search mode and data execution prevention. Called first thing at
// start-up; functions the system lacks are skipped.
void HardenDllSearch();

}  // namespace platform
