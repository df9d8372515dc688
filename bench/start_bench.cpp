// Times a program under Wine from inside: from CreateProcess until its
// top-level window of the given class is visible and painted (the process
// is then ended), or until the process exits. Prints milliseconds.
// Usage: start_bench WINDOW_CLASS COMMAND_LINE   or   start_bench - COMMAND_LINE
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  STARTUPINFOA startup{sizeof startup};
  PROCESS_INFORMATION process{};
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  const bool waitForWindow = argv[1][0] != '-';
  if (!CreateProcessA(nullptr, argv[2], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return 3;
  }
  if (waitForWindow) {
    HWND window = nullptr;
    // Visible and with nothing left to paint: its first paint is done.
    while (!window || !IsWindowVisible(window) || GetUpdateRect(window, nullptr, FALSE)) {
      if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) return 4;
      window = FindWindowA(argv[1], nullptr);
      Sleep(0);
    }
    QueryPerformanceCounter(&end);
    TerminateProcess(process.hProcess, 0);  // it refuses to close before installing
  } else {
    WaitForSingleObject(process.hProcess, INFINITE);
    QueryPerformanceCounter(&end);
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  std::printf("%.1f\n", 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                            static_cast<double>(frequency.QuadPart));
  return 0;
}
