// A window in the face colour that carries windowless controls: it paints
// them in creation order through one off-screen copy, and routes the mouse
// to them (capture on press, click on release inside, hover tracking).
#pragma once

#include "wizard/cursors.h"
#include "wizard/window.h"
#include "wizard/windowless_control.h"

#include <vector>

namespace wizard {

class Surface : public Window {
 public:
  // Adds a control above those registered before it; it is painted after
  // them. A control leaves its parent when it is destroyed.
  void Register(WindowlessControl& control) { controls_.push_back(&control); }
  void Unregister(const WindowlessControl& control) noexcept;
  const std::vector<WindowlessControl*>& controls() const noexcept { return controls_; }

  // The scale its controls are laid out at; set before they are made, and
  // again (SetScale, then each control's Rescale) when the display changes.
  const DisplayScale& scale() const noexcept { return scale_; }
  void SetScale(DisplayScale scale) noexcept { scale_ = scale; }

  // A child window of this surface that shows the given cursor kind.
  void SetChildCursor(HWND child, CursorKind kind);

  // The topmost enabled control under a point of the client area, or null.
  WindowlessControl* ControlAt(POINT point) const;

  // Paints the whole client area as the screen shows it, children excluded.
  void PaintClient(HDC dc, const RECT& area) const;

 protected:
  Surface() = default;
  void CreateSurface(const char* className, HWND parent, RECT bounds, DWORD exStyle = 0,
                     bool visible = true);

  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  // The surface itself, below its controls: the face colour.
  virtual void PaintBackground(HDC dc, const RECT& client) const;

 private:
  void OnPaint();
  void OnMouseMove(POINT point);
  void OnLeftButtonDown(POINT point);
  void OnLeftButtonUp(POINT point);
  void OnCaptureChanged();
  void OnMouseLeave();
  bool OnSetCursor(HWND target, UINT hitTest);
  void SetHovered(WindowlessControl* control);

  DisplayScale scale_;
  std::vector<WindowlessControl*> controls_;
  std::vector<std::pair<HWND, CursorKind>> childCursors_;
  WindowlessControl* pressed_ = nullptr;  // holds the capture
  WindowlessControl* hovered_ = nullptr;
};

}  // namespace wizard
