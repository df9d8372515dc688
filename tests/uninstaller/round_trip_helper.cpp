// The Windows side of uninstall-round-trip.sh, one verb per call:
//   install SETUP_EXE FOLDER DESK START   runs the installation engine with
//       the payloads of SETUP_EXE, as Setup.exe would with those options;
//   answer TITLE BUTTON SECONDS           waits for a dialog titled TITLE,
//       prints its message text and presses BUTTON;
//   hold FILE READY RELEASE               opens FILE without sharing, creates
//       READY, and keeps it open until RELEASE exists (at most a minute).
// Exit code 0 when the verb did what it says.
#include "install/installer.h"
#include "platform/com.h"
#include "platform/unique_resource.h"
#include "tests/support/test_support.h"

#include <windows.h>

#include <stdlib.h>

#include <cstdio>
#include <string>

namespace {

class OptionsHost : public install::InstallationHost {
 public:
  OptionsHost(bool desk, bool start) : desk_(desk), start_(start) {}
  bool DeskIconChecked() override { return desk_; }
  bool StartIconChecked() override { return start_; }
  bool RunProgramChecked() override { return false; }
  void ShowDecompressionError() override { std::puts("Error decompressing file."); }
  HWND OwnerWindow() override { return nullptr; }

 private:
  bool desk_;
  bool start_;
};

int Install(const char* setupExe, const char* folder, bool desk, bool start) {
  platform::ComApartment apartment;
  platform::UniqueModule payloads(LoadLibraryExA(setupExe, nullptr, LOAD_LIBRARY_AS_DATAFILE));
  if (!payloads) return std::printf("cannot load %s\n", setupExe), 1;
  test::RecordingShell shell;  // help.txt is not opened for real
  OptionsHost host(desk, start);
  install::Installer installer(payloads.get());
  const bool installed = installer.RunInstallation(folder, host);
  installer.ReleaseLog();
  return installed ? 0 : 1;
}

std::string TextOf(HWND window) {
  char text[4096] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

struct DialogSearch {
  std::string title;
  std::string button;
  HWND found = nullptr;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<DialogSearch*>(parameter);
  char className[64] = "";
  GetClassNameA(window, className, sizeof className);
  // The button must be there too: a dialog being closed may still show the
  // same title without it.
  if (IsWindowVisible(window) && std::string(className) == "#32770" &&
      TextOf(window) == search->title &&
      FindWindowExA(window, nullptr, "Button", search->button.c_str())) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK PrintStatic(HWND child, LPARAM) {
  char className[64] = "";
  GetClassNameA(child, className, sizeof className);
  if (lstrcmpiA(className, "Static") == 0 && !TextOf(child).empty()) {
    std::printf("%s\n", TextOf(child).c_str());
  }
  return TRUE;
}

int Answer(const std::string& title, const std::string& button, int seconds) {
  DialogSearch search{title, button};
  for (int tick = 0; tick < seconds * 10 && !search.found; ++tick) {
    EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
    if (!search.found) Sleep(100);
  }
  if (!search.found) {
    return std::printf("no dialog titled %s with %s\n", title.c_str(), button.c_str()), 1;
  }
  EnumChildWindows(search.found, PrintStatic, 0);
  HWND pressed = FindWindowExA(search.found, nullptr, "Button", button.c_str());
  if (!pressed) return std::printf("no button %s\n", button.c_str()), 1;
  SendMessageA(pressed, BM_CLICK, 0, 0);
  return 0;
}

int Hold(const char* file, const char* ready, const char* release) {
  platform::UniqueFile held(
      CreateFileA(file, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!held) return std::printf("cannot open %s\n", file), 1;
  test::WriteFile(ready, "held");
  for (int tick = 0; tick < 600; ++tick) {
    if (GetFileAttributesA(release) != INVALID_FILE_ATTRIBUTES) return 0;
    Sleep(100);
  }
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  const std::string verb = argc > 1 ? argv[1] : "";
  if (verb == "install" && argc == 6) {
    return Install(argv[2], argv[3], atoi(argv[4]) != 0, atoi(argv[5]) != 0);
  }
  if (verb == "answer" && argc == 5) return Answer(argv[2], argv[3], atoi(argv[4]));
  if (verb == "hold" && argc == 5) return Hold(argv[2], argv[3], argv[4]);
  std::puts(
      "usage: install SETUP FOLDER DESK START | answer TITLE BUTTON SECONDS | hold FILE READY "
      "RELEASE");
  return 2;
}
