// install-probe.exe: what the end-to-end installation script asks of the
// Win32 side, one question per run.
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
//   press TITLE BUTTON        clicks that dialog's button (text with or without "&")
//   hold PATH WAIT_MS         opens PATH without sharing, prints "held", waits
//   volatile-key KEY          replaces HKEY_LOCAL_MACHINE\KEY, subkeys and all,
//                             by an empty volatile key, which can have no
//                             lasting subkeys
//   error-text CODE           the system's message text for an error code
//   queue-clicks TITLE X Y [X Y...]
//                             left clicks at those client points of a top-level
//                             window, all queued before its thread takes the first
// Exit: 0 answered, 1 not found, 2 usage.
#include "platform/com.h"
#include "platform/unique_resource.h"

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// A visible top-level window with that title that is not a dialog: the
// program's error box carries the wizard's title too.
HWND FindMainWindow(const char* title) {
  char className[64];
  for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, nullptr, title));) {
    GetClassNameA(window, className, sizeof className);
    if (IsWindowVisible(window) && std::string(className) != "#32770") return window;
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

struct ChildQuery {
  std::string className, text;
  bool anyText;
  HWND found = nullptr;
};

BOOL CALLBACK MatchChild(HWND child, LPARAM param) {
  auto& query = *reinterpret_cast<ChildQuery*>(param);
  char className[64] = "", text[256] = "";
  GetClassNameA(child, className, sizeof className);
  GetWindowTextA(child, text, sizeof text);
  if (IsWindowVisible(child) && lstrcmpiA(className, query.className.c_str()) == 0 &&
      (query.anyText || query.text == text)) {
    query.found = child;
    return FALSE;
  }
  return TRUE;
}

int PrintChild(const char* title, const char* className, const char* text) {
  const HWND window = WaitForWindow(title);
  if (!window) return 1;
  ChildQuery query{className, text ? text : "", text == nullptr};
  EnumChildWindows(window, MatchChild, reinterpret_cast<LPARAM>(&query));
  if (!query.found) return 1;
  RECT area;
  GetWindowRect(query.found, &area);
  char childText[1024] = "";
  // Asked of the control itself: the text a window of another process keeps
  // for GetWindowTextA is not the one an edit box holds.
  SendMessageA(query.found, WM_GETTEXT, sizeof childText, reinterpret_cast<LPARAM>(childText));
  std::printf("%ld %ld %ld %ld\n%s\n", area.left, area.top, area.right - area.left,
              area.bottom - area.top, childText);
  return 0;
}

int PrintPage(const char* title) {
  const HWND window = WaitForWindow(title);
  if (!window) return 1;
  ChildQuery query{WC_TABCONTROLA, "", true};
  EnumChildWindows(window, MatchChild, reinterpret_cast<LPARAM>(&query));
  if (!query.found) return 1;
  std::printf("%d\n", static_cast<int>(SendMessageA(query.found, TCM_GETCURSEL, 0, 0)));
  return 0;
}

int PrintLink(const char* path) {
  const platform::ComApartment apartment;
  platform::ComPtr<IShellLinkA> link;
  platform::ComPtr<IPersistFile> file;
  wchar_t widePath[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, MAX_PATH);
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              link.put_void())) ||
      FAILED(link->QueryInterface(IID_IPersistFile, file.put_void())) ||
      FAILED(file->Load(widePath, STGM_READ))) {
    return 1;
  }
  char target[MAX_PATH] = "", arguments[MAX_PATH] = "", folder[MAX_PATH] = "",
       description[MAX_PATH] = "", icon[MAX_PATH] = "";
  int iconIndex = -1;
  // A getter that fails leaves its empty text, which the script sees.
  link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
  link->GetArguments(arguments, MAX_PATH);
  link->GetWorkingDirectory(folder, MAX_PATH);
  link->GetDescription(description, MAX_PATH);
  link->GetIconLocation(icon, MAX_PATH, &iconIndex);
  std::printf("%s\n%s\n%s\n%s\n%s\n%d\n", target, arguments, folder, description, icon, iconIndex);
  return 0;
}

int Record(int count, char** arguments) {
  std::string line;
  for (int i = 1; i < count; ++i) line += (i > 1 ? " " : "") + std::string(arguments[i]);
  FILE* log = std::fopen(arguments[0], "ab");
  if (!log) return 1;
  std::fprintf(log, "%s\n", line.c_str());
  std::fclose(log);
  return 0;
}

// ---- Dialogs of another process -------------------------------------------

struct DialogQuery {
  std::string title;
  HWND found = nullptr;
};

// The wizard window has the same title as the error box: only the dialog
// class tells them apart.
BOOL CALLBACK MatchDialog(HWND window, LPARAM param) {
  auto& query = *reinterpret_cast<DialogQuery*>(param);
  char className[64] = "", text[256] = "";
  GetClassNameA(window, className, sizeof className);
  GetWindowTextA(window, text, sizeof text);
  if (IsWindowVisible(window) && std::string(className) == "#32770" && query.title == text) {
    query.found = window;
    return FALSE;
  }
  return TRUE;
}

HWND WaitForDialog(const char* title, DWORD waitMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    DialogQuery query{title};
    EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&query));
    if (query.found || GetTickCount() - start >= waitMs) return query.found;
    Sleep(50);
  }
}

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

int PrintDialog(const char* title, DWORD waitMs) {
  const HWND dialog = WaitForDialog(title, waitMs);
  if (!dialog) return 1;
  for (HWND child : VisibleChildren(dialog)) {
    const std::string text = ControlText(child);
    if (!text.empty()) std::printf("%s\n", text.c_str());
  }
  return 0;
}

int PressButton(const char* title, const char* button) {
  const HWND dialog = WaitForDialog(title, 10000);
  if (!dialog) return 1;
  char className[64];
  for (HWND child : VisibleChildren(dialog)) {
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Button") == 0 &&
        WithoutAmpersands(ControlText(child)) == WithoutAmpersands(button)) {
      // Posted: the dialog's thread is inside its modal loop.
      PostMessageA(child, BM_CLICK, 0, 0);
      return 0;
    }
  }
  return 1;
}

// ---- Faults made from outside the program ----------------------------------

int HoldFile(const char* path, DWORD waitMs) {
  const platform::UniqueFile file(CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return 1;
  std::printf("held\n");
  std::fflush(stdout);
  Sleep(waitMs);
  return 0;
}

int ReplaceByVolatileKey(const char* path) {
  const LONG deleted = RegDeleteTreeA(HKEY_LOCAL_MACHINE, path);
  if (deleted != ERROR_SUCCESS && deleted != ERROR_FILE_NOT_FOUND) return 1;
  platform::UniqueKey key;
  return RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                         nullptr, key.put(), nullptr) == ERROR_SUCCESS
             ? 0
             : 1;
}

// ---- Clicks queued all at once -----------------------------------------------

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

int PrintErrorText(const char* code) {
  char text[512] = "";
  if (!FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                      std::strtoul(code, nullptr, 10), 0, text, sizeof text, nullptr)) {
    return 1;
  }
  std::printf("%s", text);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "client" && argc == 3) return PrintClient(argv[2]);
  if (mode == "child" && (argc == 4 || argc == 5)) {
    return PrintChild(argv[2], argv[3], argc == 5 ? argv[4] : nullptr);
  }
  if (mode == "page" && argc == 3) return PrintPage(argv[2]);
  if (mode == "link" && argc == 3) return PrintLink(argv[2]);
  if (mode == "record" && argc >= 3) return Record(argc - 2, argv + 2);
  if (mode == "dialog" && (argc == 3 || argc == 4)) {
    return PrintDialog(argv[2], argc == 4 ? std::strtoul(argv[3], nullptr, 10) : 10000);
  }
  if (mode == "press" && argc == 4) return PressButton(argv[2], argv[3]);
  if (mode == "hold" && argc == 4) return HoldFile(argv[2], std::strtoul(argv[3], nullptr, 10));
  if (mode == "volatile-key" && argc == 3) return ReplaceByVolatileKey(argv[2]);
  if (mode == "error-text" && argc == 3) return PrintErrorText(argv[2]);
  if (mode == "queue-clicks" && argc >= 5) return QueueClicks(argv[2], argc - 3, argv + 3);
  std::fprintf(stderr,
               "usage: install-probe client|child|page|link|record|dialog|press|hold|"
               "volatile-key|error-text|queue-clicks ...\n");
  return 2;
}
