// Static text without a window of its own.
#pragma once

#include "wizard/windowless_control.h"

#include <string>

namespace wizard {

enum class Alignment { Left, Center, Right };

struct LabelStyle {
  HFONT font = nullptr;
  COLORREF color = CLR_INVALID;  // CLR_INVALID: the system's window-text colour
  Alignment alignment = Alignment::Left;
  // Auto-size labels take the size of their text whenever it changes: a
  // left-aligned one keeps its left edge, a right-aligned one its right edge.
  bool autoSize = false;
  bool literal = false;      // "&" shown as is, not as an accelerator mark
  bool transparent = false;  // never filled with the parent's colour
};

class Label : public WindowlessControl {
 public:
  // For an auto-size label only the anchored edge and the top of `bounds`
  // count; the size comes from the text.
  Label(Surface& parent, RECT bounds, LabelStyle style, std::string text = {});

  const std::string& text() const noexcept { return text_; }
  void SetText(std::string text);
  const LabelStyle& style() const noexcept { return style_; }
  COLORREF color() const noexcept;
  void SetColor(COLORREF color);

  void Paint(HDC dc) const override;
  RECT DrawnArea() const override;
  void Rescale(const FontMap& fonts) override;

 private:
  void FitText();
  UINT DrawFlags() const noexcept;

  LabelStyle style_;
  std::string text_;
  // Where the text was last drawn: a glyph of the face the system gave may
  // reach past the box its advance widths make (Wine's substitute for
  // "MS Sans Serif" does, by a few pixels).
  mutable RECT drawn_{};
};

}  // namespace wizard
