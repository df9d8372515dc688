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

void DrawBevelFrame(HDC dc, const RECT& box, COLORREF topLeft, COLORREF bottomRight,
                    int thickness) {
  platform::UniqueBrush light(CreateSolidBrush(topLeft));
  platform::UniqueBrush dark(CreateSolidBrush(bottomRight));
  if (!light || !dark) return;  // no brush: the frame is left out, the panel still works
  // Line by line from the outside in: the edges meet on a diagonal, as the
  // system's own bevels do; at one pixel that leaves the corners as before.
  for (int i = 0; i < thickness; ++i) {
    FillLine(dc, box.left, box.top + i, box.right - 1 - i, box.top + i + 1, light.get());
    FillLine(dc, box.left + i, box.top, box.left + i + 1, box.bottom - 1 - i, light.get());
    FillLine(dc, box.right - 1 - i, box.top + i, box.right - i, box.bottom, dark.get());
    FillLine(dc, box.left + i, box.bottom - 1 - i, box.right, box.bottom - i, dark.get());
  }
}

// Where a control framed by a panel's bevel lies inside it.
RECT InsideBevel(const RECT& box, DisplayScale scale) {
  const int t = scale(1);
  return RECT{box.left + t, box.top + t, box.right - t, box.bottom - t};
}

void Panel::PaintBackground(HDC dc, const RECT& client) const {
  Surface::PaintBackground(dc, client);
  const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  const int thickness = scale()(1);
  if (bevel_ == Bevel::Raised) DrawBevelFrame(dc, client, highlight, shadow, thickness);
  if (bevel_ == Bevel::Lowered) DrawBevelFrame(dc, client, shadow, highlight, thickness);
}

}  // namespace wizard
