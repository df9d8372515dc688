// One C++ object per window: the object arrives with WM_NCCREATE, is kept in
// the window's user data, and every later message goes to its member. The
// static procedure is the exception barrier.
#pragma once

#include <windows.h>

namespace wizard {

class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  HWND hwnd() const noexcept { return hwnd_; }

 protected:
  // Registers the class once per process, with this procedure. Double clicks
  // arrive as messages of their own, so that a control can count them.
  static void RegisterClassOnce(const char* className, HICON icon = nullptr);
  // Creates the window; `this` reaches OnMessage from WM_NCCREATE on.
  void Create(const char* className, const char* title, DWORD style, DWORD exStyle, int x, int y,
              int width, int height, HWND parent);

  // May raise; an error is shown in the error box and the message counts as
  // handled with the default result.
  virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
  // Destroys the window while the object is still whole; the object gets no
  // further message.
  void Destroy() noexcept;

  LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) const {
    return DefWindowProcA(hwnd_, message, wParam, lParam);
  }

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

  HWND hwnd_ = nullptr;
};

}  // namespace wizard
