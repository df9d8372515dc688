#include "wizard/surface.h"

#include "wizard/gdi.h"

#include <windowsx.h>

#include <algorithm>

namespace wizard {
namespace {

POINT PointOf(LPARAM lParam) {
  return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

}  // namespace

void Surface::CreateSurface(const char* className, HWND parent, RECT bounds, DWORD exStyle,
                            bool visible) {
  RegisterClassOnce(className);
  // Children are clipped so that a page's controls and the surface never
  // paint over each other.
  Create(className, "", WS_CHILD | (visible ? WS_VISIBLE : 0) | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
         exStyle | WS_EX_CONTROLPARENT, bounds.left, bounds.top, bounds.right - bounds.left,
         bounds.bottom - bounds.top, parent);
}

void Surface::Unregister(const WindowlessControl& control) noexcept {
  std::erase(controls_, &control);
  if (pressed_ == &control) pressed_ = nullptr;
  if (hovered_ == &control) hovered_ = nullptr;
}

void Surface::SetChildCursor(HWND child, CursorKind kind) {
  childCursors_.emplace_back(child, kind);
}

WindowlessControl* Surface::ControlAt(POINT point) const {
  // Later controls lie above earlier ones; disabled ones let the mouse through.
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    if ((*it)->enabled() && PtInRect(&(*it)->bounds(), point)) return *it;
  }
  return nullptr;
}

void Surface::PaintBackground(HDC dc, const RECT& client) const {
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
}

void Surface::PaintClient(HDC dc, const RECT& area) const {
  RECT client;
  GetClientRect(hwnd(), &client);
  PaintBackground(dc, client);
  for (const WindowlessControl* control : controls_) {
    RECT overlap;
    const RECT drawn = control->DrawnArea();
    if (IntersectRect(&overlap, &drawn, &area)) control->Paint(dc);
  }
}

// Everything is drawn off screen and copied once, so nothing flickers.
void Surface::OnPaint() {
  PaintDc paint(hwnd());
  const RECT& area = paint.area();
  if (IsRectEmpty(&area)) return;
  RECT client;
  GetClientRect(hwnd(), &client);
  OffscreenSurface offscreen(paint.dc(), client.right, client.bottom);
  PaintClient(offscreen.dc(), area);
  BitBlt(paint.dc(), area.left, area.top, area.right - area.left, area.bottom - area.top,
         offscreen.dc(), area.left, area.top, SRCCOPY);
}

void Surface::SetHovered(WindowlessControl* control) {
  if (hovered_ == control) return;
  if (hovered_) hovered_->SetHovered(false);
  hovered_ = control;
  if (!hovered_) return;
  hovered_->SetHovered(true);
  // The leave message tells us when the mouse has left the whole surface.
  TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd(), 0};
  TrackMouseEvent(&track);
}

void Surface::OnMouseMove(POINT point) {
  if (pressed_) {
    // Drawn pressed only while the held button is over the control.
    pressed_->SetPressed(PtInRect(&pressed_->bounds(), point));
    return;
  }
  SetHovered(ControlAt(point));
}

void Surface::OnLeftButtonDown(POINT point) {
  WindowlessControl* control = ControlAt(point);
  if (!control || !control->TakesPress()) return;
  SetCapture(hwnd());
  pressed_ = control;
  pressed_->SetPressed(true);
}

void Surface::OnLeftButtonUp(POINT point) {
  WindowlessControl* control = std::exchange(pressed_, nullptr);
  if (!control) return;
  control->SetPressed(false);
  // Whether the capture was still ours does not matter any more.
  ReleaseCapture();
  if (PtInRect(&control->bounds(), point)) control->Click();
}

void Surface::OnCaptureChanged() {
  if (WindowlessControl* control = std::exchange(pressed_, nullptr)) control->SetPressed(false);
}

void Surface::OnMouseLeave() {
  SetHovered(nullptr);
}

bool Surface::OnSetCursor(HWND target, UINT hitTest) {
  if (hitTest != HTCLIENT) return false;
  CursorKind kind = CursorKind::Arrow;
  if (target == hwnd()) {
    POINT point;
    GetCursorPos(&point);
    ScreenToClient(hwnd(), &point);
    if (const WindowlessControl* control = ControlAt(point)) kind = control->cursor;
  } else {
    auto child = std::find_if(childCursors_.begin(), childCursors_.end(),
                              [&](const auto& entry) { return entry.first == target; });
    if (child != childCursors_.end()) kind = child->second;
  }
  HCURSOR cursor = CursorFor(kind);
  if (!cursor) return false;
  SetCursor(cursor);
  return true;
}

LRESULT Surface::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers every pixel
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_PRINTCLIENT: {
      RECT client;
      GetClientRect(hwnd(), &client);
      PaintClient(reinterpret_cast<HDC>(wParam), client);
      return 0;
    }
    case WM_MOUSEMOVE:
      OnMouseMove(PointOf(lParam));
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:  // the second press of a double click is a press
      OnLeftButtonDown(PointOf(lParam));
      return 0;
    case WM_LBUTTONUP:
      OnLeftButtonUp(PointOf(lParam));
      return 0;
    case WM_CAPTURECHANGED:
      OnCaptureChanged();
      return 0;
    case WM_MOUSELEAVE:
      OnMouseLeave();
      return 0;
    case WM_SETCURSOR:
      if (OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam))) return TRUE;
      break;
  }
  return DefaultProc(message, wParam, lParam);
}

}  // namespace wizard
