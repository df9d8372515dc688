// planted_control.exe [--hardened] NAME...: loads each library by its bare
// name and prints where each one came from. Started from the folder of the
// planted DLLs, it shows that a program that leaves the default search order
// alone picks them up (and which names this system refuses to take from a
// program's folder in any case), and, with --hardened, that the search
// restriction Setup.exe makes at start-up keeps them out.
#include "platform/system_library.h"
#include "platform/unique_resource.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

int main(int argc, char** argv) {
  int first = 1;
  if (argc > 1 && std::strcmp(argv[1], "--hardened") == 0) {
    platform::HardenDllSearch();
    first = 2;
  }
  // All kept loaded to the end: a later name may depend on an earlier one.
  std::vector<platform::UniqueModule> loaded;
  for (int i = first; i < argc; ++i) {
    loaded.emplace_back(LoadLibraryA(argv[i]));
    char path[MAX_PATH] = "(not loaded)";
    if (loaded.back()) GetModuleFileNameA(loaded.back().get(), path, MAX_PATH);
    std::printf("%s %s\n", argv[i], path);
  }
  return 0;
}
