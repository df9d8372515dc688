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
  // Its controls are laid out at `scale`.
  explicit Panel(Bevel bevel, DisplayScale scale = {}) noexcept : bevel_(bevel) { SetScale(scale); }
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

// A frame `thickness` pixels wide (one at 96 dots per inch): the top and
// left edges in `topLeft`, the right and bottom edges (both corners they
// reach included) in `bottomRight`.
void DrawBevelFrame(HDC dc, const RECT& box, COLORREF topLeft, COLORREF bottomRight,
                    int thickness = 1);

// The box inside a bevel drawn around `box` at this scale.
RECT InsideBevel(const RECT& box, DisplayScale scale);

}  // namespace wizard
