// A control without a window of its own: a rectangle on its parent's
// surface, painted by the parent in creation order and given the mouse by it.
#pragma once

#include "wizard/cursors.h"
#include "wizard/display_scale.h"

#include <windows.h>

#include <functional>

namespace wizard {

class Surface;

class WindowlessControl {
 public:
  // The parent paints and routes the mouse to the control once it is
  // registered there (Surface::Register), in creation order. `design` is the
  // box at 96 dots per inch; the control lies at it scaled by its parent's scale.
  WindowlessControl(Surface& parent, RECT design);
  virtual ~WindowlessControl();
  WindowlessControl(const WindowlessControl&) = delete;
  WindowlessControl& operator=(const WindowlessControl&) = delete;

  const RECT& bounds() const noexcept { return bounds_; }
  const RECT& design() const noexcept { return design_; }
  int width() const noexcept { return bounds_.right - bounds_.left; }
  int height() const noexcept { return bounds_.bottom - bounds_.top; }
  Surface& parent() const noexcept { return parent_; }

  bool enabled() const noexcept { return enabled_; }
  void SetEnabled(bool enabled);

  CursorKind cursor = CursorKind::Arrow;
  // Bound by the window's handlers; a control without one takes no click.
  std::function<void()> onClick;

  virtual void Paint(HDC dc) const = 0;
  // What the control covers on its parent's surface: its box, and for a
  // control whose drawing may overhang the box, that too.
  virtual RECT DrawnArea() const { return bounds_; }

  // Mouse input routed by the parent, in the parent's client coordinates.
  // A press is taken only by a control that can click.
  virtual bool TakesPress() const noexcept { return enabled_ && static_cast<bool>(onClick); }
  virtual void SetPressed(bool) {}
  virtual void SetHovered(bool) {}
  void Click();

  // The font that replaces one of the window's fonts made for another scale.
  using FontMap = std::function<HFONT(HFONT)>;
  // Lays the control out again at its parent's scale, which has changed, in
  // the fonts `fonts` gives for the ones it used.
  virtual void Rescale(const FontMap& fonts);

 protected:
  void SetBounds(RECT bounds);
  void Invalidate() const;

 private:
  Surface& parent_;
  RECT design_;
  RECT bounds_;
  bool enabled_ = true;
};

}  // namespace wizard
