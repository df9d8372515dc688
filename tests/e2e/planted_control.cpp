// planted_control.exe NAME...: loads each library by its bare name, as a
// program does that leaves the default search order alone, and prints where
// each one came from. Started from the folder of the planted DLLs, it shows
// that they are picked up when nothing prevents it, and which names this
// system refuses to take from a program's folder in any case.
#include "platform/unique_resource.h"

#include <windows.h>

#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
  // All kept loaded to the end: a later name may depend on an earlier one.
  std::vector<platform::UniqueModule> loaded;
  for (int i = 1; i < argc; ++i) {
    loaded.emplace_back(LoadLibraryA(argv[i]));
    char path[MAX_PATH] = "(not loaded)";
    if (loaded.back()) GetModuleFileNameA(loaded.back().get(), path, MAX_PATH);
    std::printf("%s %s\n", argv[i], path);
  }
  return 0;
}
