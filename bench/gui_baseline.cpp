// The start of a GUI installer without its work: a GUI program that loads
// the libraries an installer loads, calls one cheap function of each and
// ends. What the setup program takes beyond this is its own.
// With /window it also shows what any wizard shows first, an empty top-level
// window of the wizard's size, frame and face colour, and waits until it is
// ended: the first window and its mapping are the system's cost, not ours.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <cstring>

namespace {

constexpr const char* kClass = "GuiBaselineWindow";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_TOPMOST | WS_EX_APPWINDOW;

int ShowEmptyWindow() {
  WNDCLASSEXA windowClass{sizeof windowClass};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClass;
  if (!RegisterClassExA(&windowClass)) return 1;
  RECT frame{0, 0, 380, 226};
  AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  HWND window = CreateWindowExA(kExStyle, kClass, "Baseline", kStyle,
                                (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                                (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height,
                                nullptr, nullptr, windowClass.hInstance, nullptr);
  if (!window) return 1;
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  // The benchmark ends the process once it has seen the window painted.
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  InitCommonControls();
  GetSystemMetrics(SM_CXSCREEN);
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, &key) == ERROR_SUCCESS) {
    RegCloseKey(key);
  }
  CoInitialize(nullptr);
  CoUninitialize();
  char path[MAX_PATH];
  SHGetFolderPathA(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, 0, path);
  if (std::strstr(commandLine, "/window")) return ShowEmptyWindow();
  return 0;
}
