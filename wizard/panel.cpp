#include "wizard/panel.h"

#include "platform/unique_resource.h"

namespace wizard {
namespace {

constexpr const char* kPanelClass = "QuorvelleSetupPanel";

void FillLine(HDC dc, int left, int top, int right, int bottom, HBRUSH brush) {
  const RECT line{left, top, right, bottom};
  FillRect(dc, &line, brush);
}

}  // namespace

void Panel::Make(HWND parent, RECT bounds, bool visible) {
  if (!hwnd()) CreateSurface(kPanelClass, parent, bounds, 0, visible);
}

void DrawBevelFrame(HDC dc, const RECT& box, COLORREF topLeft, COLORREF bottomRight) {
  platform::UniqueBrush light(CreateSolidBrush(topLeft));
  platform::UniqueBrush dark(CreateSolidBrush(bottomRight));
  if (!light || !dark) return;  // no brush: the frame is left out, the panel still works
  FillLine(dc, box.left, box.top, box.right - 1, box.top + 1, light.get());
  FillLine(dc, box.left, box.top, box.left + 1, box.bottom - 1, light.get());
  FillLine(dc, box.right - 1, box.top, box.right, box.bottom, dark.get());
  FillLine(dc, box.left, box.bottom - 1, box.right, box.bottom, dark.get());
}

void Panel::PaintBackground(HDC dc, const RECT& client) const {
  Surface::PaintBackground(dc, client);
  const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  if (bevel_ == Bevel::Raised) DrawBevelFrame(dc, client, highlight, shadow);
  if (bevel_ == Bevel::Lowered) DrawBevelFrame(dc, client, shadow, highlight);
}

}  // namespace wizard
