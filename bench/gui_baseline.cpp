// The start of a GUI installer without its work: a GUI program that loads
// the libraries an installer loads, calls one cheap function of each and
// ends. What the setup program takes beyond this is its own.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
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
  return 0;
}
