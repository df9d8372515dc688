// window_buttons.exe: presses a button of another program's window, the way
// a user's click would, for the end-to-end scripts.
//   window_buttons.exe click "<window title>" "<button text>" [timeout_ms]
//   window_buttons.exe list "<window title>" [timeout_ms]
// The window is a visible top-level window with exactly this title; button
// texts match with or without their "&". Exit code: 0 done, 1 no such
// window, 2 no such button, 3 wrong arguments.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string WithoutAmpersands(const std::string& text) {
  std::string plain;
  for (char c : text) {
    if (c != '&') plain += c;
  }
  return plain;
}

std::string ClassOf(HWND window) {
  char name[64] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string TextOf(HWND window) {
  char text[256] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

HWND WaitForWindow(const char* title, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    HWND window = FindWindowA(nullptr, title);
    if (window && IsWindowVisible(window)) return window;
    if (GetTickCount() - start > timeoutMs) return nullptr;
    Sleep(50);
  }
}

struct ButtonSearch {
  std::string text;
  HWND found = nullptr;
};

BOOL CALLBACK MatchButton(HWND child, LPARAM data) {
  auto& search = *reinterpret_cast<ButtonSearch*>(data);
  if (lstrcmpiA(ClassOf(child).c_str(), "Button") == 0 && IsWindowVisible(child) &&
      WithoutAmpersands(TextOf(child)) == search.text) {
    search.found = child;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
  std::printf("id=%d class=%s text=\"%s\" visible=%d\n", GetDlgCtrlID(child),
              ClassOf(child).c_str(), TextOf(child).c_str(), IsWindowVisible(child) ? 1 : 0);
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 3;
  const std::string operation = argv[1];
  const bool click = operation == "click";
  if (!click && operation != "list") return 3;
  if (click && argc < 4) return 3;
  const int timeoutArg = click ? 4 : 3;
  const DWORD timeoutMs = argc > timeoutArg ? std::strtoul(argv[timeoutArg], nullptr, 10) : 10000;
  HWND window = WaitForWindow(argv[2], timeoutMs);
  if (!window) {
    std::printf("no window \"%s\"\n", argv[2]);
    return 1;
  }
  if (!click) {
    EnumChildWindows(window, PrintChild, 0);
    return 0;
  }
  ButtonSearch search{WithoutAmpersands(argv[3])};
  EnumChildWindows(window, MatchButton, reinterpret_cast<LPARAM>(&search));
  if (!search.found) {
    std::printf("no button \"%s\" in \"%s\"\n", argv[3], argv[2]);
    return 2;
  }
  // Posted, not sent: the window's thread is inside a modal loop. The button
  // then tells its dialog it was clicked, as a mouse click would.
  PostMessageA(search.found, BM_CLICK, 0, 0);
  return 0;
}
