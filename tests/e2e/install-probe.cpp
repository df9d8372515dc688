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
// Exit: 0 answered, 1 not found, 2 usage.
#include "platform/com.h"

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

namespace {

HWND WaitForWindow(const char* title) {
  for (int tries = 0; tries < 100; ++tries) {
    if (HWND window = FindWindowA(nullptr, title); window && IsWindowVisible(window)) return window;
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
  char childText[MAX_PATH] = "";
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
  std::fprintf(stderr, "usage: install-probe client|child|page|link|record ...\n");
  return 2;
}
