#include "wizard/setup_form.h"

#include "wizard/error_box.h"

namespace wizard {
namespace {

constexpr const char* kFormClass = "TSetupForm";
// Single fixed frame with a title bar, but no system menu and so no buttons.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_TOPMOST | WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;

}  // namespace

SetupForm::SetupForm(Application& application) : application_(application) {
  RegisterClassOnce(kFormClass);
  RECT frame{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
  Create(kFormClass, kApplicationTitle, kStyle, kExStyle, 0, 0, frame.right - frame.left,
         frame.bottom - frame.top, nullptr);
}

void SetupForm::Show() {
  RECT frame;
  GetWindowRect(hwnd(), &frame);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  SetWindowPos(hwnd(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(hwnd(), SW_SHOWNORMAL);
  UpdateWindow(hwnd());
}

LRESULT SetupForm::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefaultProc(message, wParam, lParam);
}

}  // namespace wizard
