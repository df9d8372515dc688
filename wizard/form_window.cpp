#include "wizard/form_window.h"

#include "wizard/error_box.h"

#include <commctrl.h>

namespace wizard {
namespace {

constexpr const char* kFormClass = "TSetupForm";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
// Keyboard navigation reaches into the panels and pages; the keys themselves
// go to the focused control only (the window previews none).
constexpr DWORD kExStyle = WS_EX_TOPMOST | WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;

void InitCommonControls() {
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TAB_CLASSES | ICC_BAR_CLASSES};
  // Without them the page control's creation fails and says so.
  InitCommonControlsEx(&classes);
}

}  // namespace

HICON ApplicationIcon() {
  // A shared icon belongs to the system and lives as long as the program.
  return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), "MAINICON", IMAGE_ICON,
                                       GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON),
                                       LR_SHARED));
}

// Made where it will first be seen, centred on the screen: moving a window
// afterwards costs the system a round of position messages.
FormWindow::FormWindow() {
  InitCommonControls();
  RegisterClassOnce(kFormClass, ApplicationIcon());
  RECT frame{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  Create(kFormClass, kApplicationTitle, kStyle, kExStyle,
         (GetSystemMetrics(SM_CXSCREEN) - width) / 2, (GetSystemMetrics(SM_CYSCREEN) - height) / 2,
         width, height, nullptr);
}

void FormWindow::Show() {
  ShowWindow(hwnd(), SW_SHOWNORMAL);
  UpdateWindow(hwnd());
  OnShown();
}

}  // namespace wizard
