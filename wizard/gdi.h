// Guards for the drawing state a function borrows: each holds both halves of
// what it restores, so every path puts the device context back as it was.
#pragma once

#include "platform/unique_resource.h"

#include <windows.h>

namespace wizard {

// An object selected into a device context; the previous one is selected
// back when the guard ends.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~SelectedObject() { SelectObject(dc_, previous_); }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// BeginPaint and EndPaint with the PAINTSTRUCT they share.
class PaintDc {
 public:
  explicit PaintDc(HWND window) noexcept : window_(window) { dc_ = BeginPaint(window, &paint_); }
  ~PaintDc() { EndPaint(window_, &paint_); }
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;

  HDC dc() const noexcept { return dc_; }
  const RECT& area() const noexcept { return paint_.rcPaint; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

// GetDC and ReleaseDC; a null window gives the screen's device context.
class WindowDc {
 public:
  explicit WindowDc(HWND window) noexcept : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;

  HDC dc() const noexcept { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// A memory device context of the screen, made once and kept for the
// program's life: taking the screen's own costs the system a look at the
// display each time. Borrowed through SelectedObject to measure text and to
// read or copy from a bitmap; whoever borrows it puts back what they selected.
HDC ScratchDc();

// The off-screen surface a window paints on before one copy: a memory device
// context with a bitmap compatible with `reference` of at least the given
// size. There is one, kept for the program's life; what one paint drew is
// gone with the next.
class OffscreenSurface {
 public:
  OffscreenSurface(HDC reference, int width, int height);
  HDC dc() const noexcept { return dc_; }

 private:
  HDC dc_;
};

}  // namespace wizard
