// A push button without a window of its own: a glyph left of a caption,
// centred together as a group. It never takes the keyboard focus.
#pragma once

#include "wizard/glyph.h"
#include "wizard/windowless_control.h"

#include <string>

namespace wizard {

class SpeedButton : public WindowlessControl {
 public:
  static constexpr int kGlyphSpacing = 4;  // at 96 dots per inch

  SpeedButton(Surface& parent, RECT bounds, HFONT font, std::string caption, bool flat = false);

  const std::string& caption() const noexcept { return caption_; }
  void SetCaption(std::string caption);
  void SetGlyph(Glyph glyph);
  const Glyph& glyph() const noexcept { return glyph_; }
  HFONT font() const noexcept { return font_; }
  bool pressed() const noexcept { return pressed_; }
  bool hovered() const noexcept { return hovered_; }
  bool flat() const noexcept { return flat_; }

  // Where the glyph's top-left corner lands, in the parent's coordinates,
  // when the button is not pressed.
  POINT GlyphOrigin() const;

  void Paint(HDC dc) const override;
  bool TakesPress() const noexcept override { return enabled(); }
  void SetPressed(bool pressed) override;
  void Rescale(const FontMap& fonts) override;
  void SetHovered(bool hovered) override;

 private:
  void MeasureCaption();
  void PaintFace(HDC dc, const RECT& box) const;
  void PaintCaption(HDC dc, int x, int y) const;

  HFONT font_;
  std::string caption_;
  SIZE captionSize_{};  // measured when the caption is set, not on every paint
  Glyph glyph_;
  bool flat_;
  bool pressed_ = false;
  bool hovered_ = false;
};

}  // namespace wizard
