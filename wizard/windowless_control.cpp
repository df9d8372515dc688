#include "wizard/windowless_control.h"

#include "wizard/surface.h"

namespace wizard {

WindowlessControl::WindowlessControl(Surface& parent, RECT design)
    : parent_(parent), design_(design), bounds_(parent.scale()(design)) {}

WindowlessControl::~WindowlessControl() {
  parent_.Unregister(*this);
}

void WindowlessControl::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  Invalidate();
}

void WindowlessControl::Click() {
  if (onClick) onClick();
}

void WindowlessControl::Rescale(const FontMap&) {
  SetBounds(parent_.scale()(design_));
}

void WindowlessControl::SetBounds(RECT bounds) {
  Invalidate();
  bounds_ = bounds;
  Invalidate();
}

// Only what the control covers is repainted. A parent not on screen is
// painted whole when it is shown, so it is told nothing before.
void WindowlessControl::Invalidate() const {
  const RECT area = DrawnArea();
  if (IsWindowVisible(parent_.hwnd())) InvalidateRect(parent_.hwnd(), &area, FALSE);
}

}  // namespace wizard
