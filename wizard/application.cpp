#include "wizard/application.h"

#include "platform/error.h"

namespace wizard {
namespace {

constexpr const char* kHiddenClass = "QuorvelleSetupApplication";

void RegisterHiddenClass() {
  WNDCLASSEXA existing{sizeof existing};
  if (GetClassInfoExA(GetModuleHandleA(nullptr), kHiddenClass, &existing)) return;
  WNDCLASSEXA windowClass{sizeof windowClass};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = kHiddenClass;
  if (!RegisterClassExA(&windowClass)) {
    platform::Raise("Failed to register window class",
                    platform::Win32Failure("RegisterClassExA(hidden window)", GetLastError()));
  }
}

void DispatchOne(HWND root, MSG& message) {
  if (root && IsDialogMessageA(root, &message)) return;
  TranslateMessage(&message);
  DispatchMessageA(&message);
}

}  // namespace

HWND Application::hiddenWindow() {
  if (hidden_) return hidden_.get();
  RegisterHiddenClass();
  // A tool window that is never shown has no taskbar button.
  hidden_.reset(CreateWindowExA(WS_EX_TOOLWINDOW, kHiddenClass, "", WS_POPUP, 0, 0, 0, 0, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr));
  if (!hidden_) {
    platform::Raise("Failed to create window",
                    platform::Win32Failure("CreateWindowExA(hidden window)", GetLastError()));
  }
  return hidden_.get();
}

void Application::Run(HWND mainWindow) {
  hiddenWindow();
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    DispatchOne(IsWindow(mainWindow) ? mainWindow : nullptr, message);
  }
}

void Application::ProcessMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    DispatchOne(root, message);
  }
}

}  // namespace wizard
