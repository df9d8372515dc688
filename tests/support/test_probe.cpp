// test_probe.exe: what the end-to-end scripts ask of the Win32 side, one
// question or action per run.
//   client TITLE              client origin and size of a top-level window: "X Y W H"
//   child TITLE CLASS [TEXT]  its first visible child of that class (and exact
//                             text, when given): screen rectangle "X Y W H", then
//                             the child's text on a line of its own
//   page TITLE                the selected page of its tab control
//   link PATH                 a saved shell link, read back: target, arguments,
//                             working folder, description, icon and index, one a line
//   record LOG ARGS...        appends ARGS, joined by blanks, as one line to LOG
//                             (the prefix's stand-in "open" handler)
//   dialog TITLE [WAIT_MS]    a visible message box or dialog (class #32770)
//                             with that title: its texts, one a line
//   press TITLE BUTTON [WAIT_MS]
//                             waits for such a dialog showing that button (text
//                             with or without "&"), prints its texts, clicks it
//   hold PATH WAIT_MS         opens PATH without sharing, prints "held", waits
//   volatile-key KEY          replaces HKEY_LOCAL_MACHINE\KEY, subkeys and all,
//                             by an empty volatile key, which can have no
//                             lasting subkeys
//   error-text CODE           the system's message text for an error code
//   short-path PATH           the path in its short (8.3) spelling
//   queue-clicks TITLE X Y [X Y...]
//                             left clicks at those client points of a top-level
//                             window, all queued before its thread takes the first
//   install SETUP_EXE FOLDER DESK START
//                             runs the installation engine with the payloads of
//                             SETUP_EXE, as Setup.exe would with those options
// Exit: 0 answered, 1 not found or failed, 2 usage.
#include "install/installer.h"
#include "platform/com.h"
#include "platform/text.h"
#include "platform/unique_resource.h"
#include "tests/support/test_support.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

DWORD Number(const char* text) {
  return std::strtoul(text, nullptr, 10);
}

std::string ClassOf(HWND window) {
  char name[64] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

// The text the system keeps for a window: read without a message, so a busy
// or suspended program does not hold the probe up.
std::string TextOf(HWND window) {
  char text[256] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

// Asked of the control itself: the text a window of another process keeps
// for GetWindowTextA is not the one an edit box holds.
std::string ControlText(HWND control) {
  char text[1024] = "";
  SendMessageA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

std::string WithoutAmpersands(const std::string& text) {
  std::string plain;
  for (char c : text) {
    if (c != '&') plain += c;
  }
  return plain;
}

BOOL CALLBACK CollectVisible(HWND child, LPARAM list) {
  if (IsWindowVisible(child)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
  return TRUE;
}

std::vector<HWND> VisibleChildren(HWND window) {
  std::vector<HWND> children;
  EnumChildWindows(window, CollectVisible, reinterpret_cast<LPARAM>(&children));
  return children;
}

// The first visible child of that class, and that text unless `text` is null.
HWND FindChild(HWND window, const char* className, const char* text) {
  for (HWND child : VisibleChildren(window)) {
    if (lstrcmpiA(ClassOf(child).c_str(), className) != 0) continue;
    if (!text || WithoutAmpersands(TextOf(child)) == WithoutAmpersands(text)) return child;
  }
  return nullptr;
}

// ---- The wizard window -------------------------------------------------------

// A visible top-level window with that title that is not a dialog: the
// program's error box carries the wizard's title too.
HWND FindMainWindow(const char* title) {
  for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, nullptr, title));) {
    if (IsWindowVisible(window) && ClassOf(window) != "#32770") return window;
  }
  return nullptr;
}

HWND WaitForWindow(const char* title) {
  for (int tries = 0; tries < 100; ++tries) {
    if (HWND window = FindMainWindow(title)) return window;
    Sleep(50);
  }
  return nullptr;
}

int PrintClient(const char* title) {
  const HWND window = WaitForWindow(title);
  if (!window) return 1;
  RECT client;
  POINT origin{0, 0};
  GetClientRect(window, &client);
  ClientToScreen(window, &origin);
  std::printf("%ld %ld %ld %ld\n", origin.x, origin.y, client.right, client.bottom);
  return 0;
}

int PrintChild(const char* title, const char* className, const char* text) {
  const HWND window = WaitForWindow(title);
  const HWND child = window ? FindChild(window, className, text) : nullptr;
  if (!child) return 1;
  RECT area;
  GetWindowRect(child, &area);
  std::printf("%ld %ld %ld %ld\n%s\n", area.left, area.top, area.right - area.left,
              area.bottom - area.top, ControlText(child).c_str());
  return 0;
}

int PrintPage(const char* title) {
  const HWND window = WaitForWindow(title);
  const HWND tabs = window ? FindChild(window, WC_TABCONTROLA, nullptr) : nullptr;
  if (!tabs) return 1;
  std::printf("%d\n", static_cast<int>(SendMessageA(tabs, TCM_GETCURSEL, 0, 0)));
  return 0;
}

// A press and a release posted to the window under a client point of `window`.
bool PostClick(HWND window, POINT point) {
  ClientToScreen(window, &point);
  const HWND target = WindowFromPoint(point);
  if (!target) return false;
  ScreenToClient(target, &point);
  const LPARAM at = MAKELPARAM(point.x, point.y);
  return PostMessageA(target, WM_LBUTTONDOWN, MK_LBUTTON, at) &&
         PostMessageA(target, WM_LBUTTONUP, 0, at);
}

// The window's thread is held while the clicks are posted, so that a handler
// of the first one finds the others already waiting, as when the user clicks
// twice before the program answers.
int QueueClicks(const char* title, int count, char** coordinates) {
  const HWND window = WaitForWindow(title);
  if (!window || count % 2 != 0) return 1;
  const platform::UniqueHandle thread(
      OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(window, nullptr)));
  if (!thread || SuspendThread(thread.get()) == static_cast<DWORD>(-1)) return 1;
  bool posted = true;
  for (int i = 0; i < count; i += 2) {
    posted &= PostClick(window, POINT{std::atoi(coordinates[i]), std::atoi(coordinates[i + 1])});
  }
  ResumeThread(thread.get());
  return posted ? 0 : 1;
}

// ---- Dialogs of another process -------------------------------------------

struct DialogQuery {
  std::string title;
  const char* button;  // shown by the dialog, when not null
  HWND found = nullptr;
};

// The wizard window has the same title as the error box: only the dialog
// class tells them apart. Two messages in a row may share a title too: the
// button tells the next from the one being closed.
BOOL CALLBACK MatchDialog(HWND window, LPARAM param) {
  auto& query = *reinterpret_cast<DialogQuery*>(param);
  if (IsWindowVisible(window) && ClassOf(window) == "#32770" && query.title == TextOf(window) &&
      (!query.button || FindChild(window, "Button", query.button))) {
    query.found = window;
    return FALSE;
  }
  return TRUE;
}

HWND WaitForDialog(const char* title, const char* button, DWORD waitMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    DialogQuery query{title, button};
    EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&query));
    if (query.found || GetTickCount() - start >= waitMs) return query.found;
    Sleep(50);
  }
}

int PrintDialog(HWND dialog) {
  if (!dialog) return 1;
  for (HWND child : VisibleChildren(dialog)) {
    const std::string text = ControlText(child);
    if (!text.empty()) std::printf("%s\n", text.c_str());
  }
  return 0;
}

int PressButton(const char* title, const char* button, DWORD waitMs) {
  const HWND dialog = WaitForDialog(title, button, waitMs);
  const HWND pressed = dialog ? FindChild(dialog, "Button", button) : nullptr;
  if (!pressed) return 1;
  PrintDialog(dialog);
  // Posted: the dialog's thread is inside its modal loop. The button then
  // tells its dialog it was clicked, as a mouse click would.
  return PostMessageA(pressed, BM_CLICK, 0, 0) ? 0 : 1;
}

// ---- Files, links and the registry -------------------------------------------

int PrintLink(const char* path) {
  const platform::ComApartment apartment;
  const test::SavedLink link = test::ReadLink(platform::AnsiToWide(path));
  if (!link.loaded) return 1;
  std::printf("%s\n%s\n%s\n%s\n%s\n%d\n", link.path.c_str(), link.arguments.c_str(),
              link.workingFolder.c_str(), link.description.c_str(), link.iconPath.c_str(),
              link.iconIndex);
  return 0;
}

int Record(int count, char** arguments) {
  std::string line;
  for (int i = 1; i < count; ++i) line += (i > 1 ? " " : "") + std::string(arguments[i]);
  line += "\n";
  const platform::UniqueFile log(CreateFileA(arguments[0], FILE_APPEND_DATA, FILE_SHARE_READ,
                                             nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return log &&
                 WriteFile(log.get(), line.data(), static_cast<DWORD>(line.size()), &written,
                           nullptr) &&
                 written == line.size()
             ? 0
             : 1;
}

int HoldFile(const char* path, DWORD waitMs) {
  const platform::UniqueFile file(CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return 1;
  std::printf("held\n");
  Sleep(waitMs);
  return 0;
}

int PrintErrorText(const char* code) {
  char text[512] = "";
  if (!FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                      Number(code), 0, text, sizeof text, nullptr)) {
    return 1;
  }
  std::printf("%s", text);
  return 0;
}

int PrintShortPath(const char* path) {
  char spelled[MAX_PATH] = "";
  const DWORD length = GetShortPathNameA(path, spelled, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 1;
  std::printf("%s", spelled);
  return 0;
}

// ---- The installation engine ---------------------------------------------------

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
  const platform::ComApartment apartment;
  const platform::UniqueModule payloads = test::LoadDataModule(setupExe);
  if (!payloads) return std::printf("cannot load %s\n", setupExe), 1;
  const test::RecordingShell shell;  // help.txt is not opened for real
  OptionsHost host(desk, start);
  install::Installer installer(payloads.get());
  const bool installed = installer.RunInstallation(folder, host);
  installer.ReleaseLog();
  return installed ? 0 : 1;
}

int Run(const std::string& verb, int argc, char** argv) {
  if (verb == "client" && argc == 3) return PrintClient(argv[2]);
  if (verb == "child" && (argc == 4 || argc == 5)) {
    return PrintChild(argv[2], argv[3], argc == 5 ? argv[4] : nullptr);
  }
  if (verb == "page" && argc == 3) return PrintPage(argv[2]);
  if (verb == "queue-clicks" && argc >= 5) return QueueClicks(argv[2], argc - 3, argv + 3);
  if (verb == "dialog" && (argc == 3 || argc == 4)) {
    return PrintDialog(WaitForDialog(argv[2], nullptr, argc == 4 ? Number(argv[3]) : 10000));
  }
  if (verb == "press" && (argc == 4 || argc == 5)) {
    return PressButton(argv[2], argv[3], argc == 5 ? Number(argv[4]) : 10000);
  }
  if (verb == "link" && argc == 3) return PrintLink(argv[2]);
  if (verb == "record" && argc >= 3) return Record(argc - 2, argv + 2);
  if (verb == "hold" && argc == 4) return HoldFile(argv[2], Number(argv[3]));
  if (verb == "volatile-key" && argc == 3) {
    return test::ReplaceByVolatileKey(HKEY_LOCAL_MACHINE, argv[2]) ? 0 : 1;
  }
  if (verb == "error-text" && argc == 3) return PrintErrorText(argv[2]);
  if (verb == "short-path" && argc == 3) return PrintShortPath(argv[2]);
  if (verb == "install" && argc == 6) {
    return Install(argv[2], argv[3], Number(argv[4]) != 0, Number(argv[5]) != 0);
  }
  std::fprintf(stderr,
               "usage: test_probe client|child|page|queue-clicks|dialog|press|link|record|hold|"
               "volatile-key|error-text|short-path|install ...\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  // Unbuffered: a script waits for "held" while the holder still runs.
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  return Run(argc > 1 ? argv[1] : "", argc, argv);
}
