// A container window in the face colour with a one-pixel bevel, and the
// page of a page control, which has none.
#pragma once

#include "wizard/surface.h"

namespace wizard {

enum class Bevel { None, Raised, Lowered };

class Panel : public Surface {
 public:
  // Its window is made later (Make): until then it has none, and its
  // controls are registered and measured but not painted.
  explicit Panel(Bevel bevel) noexcept : bevel_(bevel) {}
  // Makes the panel's window, once. A page starts hidden (`visible` false):
  // its page control shows it, and what is made on a hidden window costs no
  // repainting.
  void Make(HWND parent, RECT bounds, bool visible = false);
  Bevel bevel() const noexcept { return bevel_; }

 protected:
  void PaintBackground(HDC dc, const RECT& client) const override;

 private:
  Bevel bevel_;
};

// One-pixel frame: the top and left edges in `topLeft`, the right and
// bottom edges (both corners they reach included) in `bottomRight`.
void DrawBevelFrame(HDC dc, const RECT& box, COLORREF topLeft, COLORREF bottomRight);

}  // namespace wizard
