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

SIZE FormWindow::FrameSize(DisplayScale scale) {
  const RECT frame = FrameForClient(SIZE{scale(kClientWidth), scale(kClientHeight)}, kStyle,
                                    kExStyle, scale.dpi());
  return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

// Made where it will first be seen, centred on the screen: moving a window
// afterwards costs the system a round of position messages. Only where the
// window's display scales otherwise than the screen's is it sized again.
FormWindow::FormWindow() {
  InitCommonControls();
  RegisterClassOnce(kFormClass, ApplicationIcon());
  SetScale(DisplayScale(ScreenDpi()));
  SIZE size = FrameSize(scale());
  const auto centred = [&size] {
    return POINT{(GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2};
  };
  const POINT at = centred();
  Create(kFormClass, kApplicationTitle, kStyle, kExStyle, at.x, at.y, size.cx, size.cy, nullptr);
  const DisplayScale own(DpiOfWindow(hwnd()));
  if (own == scale()) return;
  SetScale(own);
  size = FrameSize(own);
  const POINT again = centred();
  SetWindowPos(hwnd(), nullptr, again.x, again.y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::Show() {
  ShowWindow(hwnd(), SW_SHOWNORMAL);
  UpdateWindow(hwnd());
  OnShown();
}

}  // namespace wizard
