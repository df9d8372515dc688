#include "wizard/speed_button.h"

#include "wizard/fonts.h"
#include "wizard/gdi.h"
#include "wizard/surface.h"

namespace wizard {

SpeedButton::SpeedButton(Surface& parent, RECT bounds, HFONT font, std::string caption, bool flat)
    : WindowlessControl(parent, bounds), font_(font), caption_(std::move(caption)), flat_(flat) {
  MeasureCaption();
}

void SpeedButton::SetCaption(std::string caption) {
  caption_ = std::move(caption);
  MeasureCaption();
  Invalidate();
}

void SpeedButton::Rescale(const FontMap& fonts) {
  font_ = fonts(font_);
  MeasureCaption();
  WindowlessControl::Rescale(fonts);
}

void SpeedButton::MeasureCaption() {
  captionSize_ = caption_.empty() ? SIZE{0, 0} : TextExtent(font_, caption_, false);
}

void SpeedButton::SetGlyph(Glyph glyph) {
  glyph_ = std::move(glyph);
  Invalidate();
}

void SpeedButton::SetPressed(bool pressed) {
  if (pressed_ == pressed) return;
  pressed_ = pressed;
  Invalidate();
}

void SpeedButton::SetHovered(bool hovered) {
  if (hovered_ == hovered) return;
  hovered_ = hovered;
  // Only a flat button looks different under the mouse.
  if (flat_) Invalidate();
}

POINT SpeedButton::GlyphOrigin() const {
  const SIZE& text = captionSize_;
  const int glyphWidth = glyph_.imageWidth();
  const int gap = glyphWidth > 0 && text.cx > 0 ? parent().scale()(kGlyphSpacing) : 0;
  const int group = glyphWidth + gap + text.cx;
  return POINT{bounds().left + (width() - group + 1) / 2,
               bounds().top + (height() - glyph_.height() + 1) / 2};
}

void SpeedButton::PaintFace(HDC dc, const RECT& box) const {
  RECT face = box;
  if (!flat_) {
    DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed_ ? DFCS_PUSHED : 0));
    return;
  }
  FillRect(dc, &face, GetSysColorBrush(COLOR_BTNFACE));
  if (pressed_) {
    DrawEdge(dc, &face, BDR_SUNKENOUTER, BF_RECT);
  } else if (hovered_ && enabled()) {
    DrawEdge(dc, &face, BDR_RAISEDINNER, BF_RECT);
  }
}

void SpeedButton::PaintCaption(HDC dc, int x, int y) const {
  SelectedObject font(dc, font_);
  SetBkMode(dc, TRANSPARENT);
  if (enabled()) {
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    TextOutA(dc, x, y, caption_.c_str(), static_cast<int>(caption_.size()));
    return;
  }
  // The system's disabled style: embossed in highlight and shadow.
  DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(caption_.c_str()),
             static_cast<WPARAM>(caption_.size()), x, y, 0, 0, DST_TEXT | DSS_DISABLED);
}

void SpeedButton::Paint(HDC dc) const {
  PaintFace(dc, bounds());
  const int shift = pressed_ ? 1 : 0;  // the content sinks with the face
  const POINT glyph = GlyphOrigin();
  glyph_.Draw(dc, glyph.x + shift, glyph.y + shift, enabled());
  if (caption_.empty()) return;
  const SIZE& text = captionSize_;
  const int gap = glyph_.empty() ? 0 : glyph_.imageWidth() + parent().scale()(kGlyphSpacing);
  PaintCaption(dc, glyph.x + gap + shift, bounds().top + (height() - text.cy + 1) / 2 + shift);
}

}  // namespace wizard
