// url_recorder.exe: stands in for the web browser in the end-to-end test
// prefix, registered as the "open" command of http and https. Appends its
// command line to the file named by URL_RECORDER_LOG and exits, so a test
// can see which page was asked for without a browser starting.
#include <windows.h>

#include <cstdio>
#include <memory>

int main() {
  char path[MAX_PATH] = "";
  if (!GetEnvironmentVariableA("URL_RECORDER_LOG", path, sizeof path)) return 1;
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> log(std::fopen(path, "a"), &std::fclose);
  if (!log) return 1;
  std::fprintf(log.get(), "%s\n", GetCommandLineA());
  return 0;
}
