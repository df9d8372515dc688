#include "wizard/window.h"

#include "platform/error.h"
#include "wizard/error_box.h"

#include <utility>

namespace wizard {

Window::~Window() {
  Destroy();
}

void Window::Destroy() noexcept {
  if (!hwnd_) return;
  // Detach first, so that messages sent while destroying find no object.
  SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
  // A window that is already gone needs nothing more: the result is not examined.
  DestroyWindow(std::exchange(hwnd_, nullptr));
}

void Window::RegisterClassOnce(const char* className, HICON icon) {
  WNDCLASSEXA existing{sizeof existing};
  if (GetClassInfoExA(GetModuleHandleA(nullptr), className, &existing)) return;
  WNDCLASSEXA windowClass{sizeof windowClass};
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = &Window::Procedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hIcon = icon;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = className;
  if (!RegisterClassExA(&windowClass)) {
    const DWORD error = GetLastError();
    platform::Raise("Failed to register window class",
                    platform::Win32Failure("RegisterClassExA", error, className));
  }
}

void Window::Create(const char* className, const char* title, DWORD style, DWORD exStyle, int x,
                    int y, int width, int height, HWND parent) {
  CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent, nullptr,
                  GetModuleHandleA(nullptr), this);
  if (!hwnd_) {
    const DWORD error = GetLastError();
    platform::Raise("Failed to create window",
                    platform::Win32Failure("CreateWindowExA", error, className));
  }
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    return DefWindowProcA(hwnd, message, wParam, lParam);
  }
  LRESULT result = 0;
  RunGuarded(hwnd, [&] { result = self->OnMessage(message, wParam, lParam); });
  return result;
}

}  // namespace wizard
