#include "wizard/label.h"
#include "wizard/visual_styles.h"

#include "platform/system_library.h"

#include "wizard/fonts.h"
#include "wizard/gdi.h"

namespace wizard {

Label::Label(Surface& parent, RECT bounds, LabelStyle style, std::string text)
    : WindowlessControl(parent, bounds), style_(style), text_(std::move(text)) {
  FitText();
}

void Label::SetText(std::string text) {
  text_ = std::move(text);
  FitText();
  Invalidate();
}

COLORREF Label::color() const noexcept {
  return style_.color == CLR_INVALID ? GetSysColor(COLOR_WINDOWTEXT) : style_.color;
}

void Label::SetColor(COLORREF color) {
  style_.color = color;
  Invalidate();
}

void Label::Rescale(const FontMap& fonts) {
  style_.font = fonts(style_.font);
  drawn_ = {};
  WindowlessControl::Rescale(fonts);
  FitText();
}

void Label::FitText() {
  if (!style_.autoSize) return;
  // An empty label keeps the size of one blank, so it never vanishes.
  const SIZE size = TextExtent(style_.font, text_.empty() ? " " : text_, style_.literal);
  RECT box = bounds();
  if (style_.alignment == Alignment::Right) {
    box.left = box.right - size.cx;
  } else {
    box.right = box.left + size.cx;
  }
  box.bottom = box.top + size.cy;
  SetBounds(box);
}

UINT Label::DrawFlags() const noexcept {
  UINT flags = DT_SINGLELINE | DT_TOP | DT_EXPANDTABS;
  if (style_.alignment == Alignment::Center) flags |= DT_CENTER;
  if (style_.alignment == Alignment::Right) flags |= DT_RIGHT;
  if (style_.literal) flags |= DT_NOPREFIX;
  // An auto-size label's box is its text; only fixed boxes cut the text off.
  // (Wine's clipped DrawText dropped the last glyph of a text that fits.)
  if (style_.autoSize) flags |= DT_NOCLIP;
  return flags;
}

// The text is cut off at the label's own edges.
void Label::Paint(HDC dc) const {
  RECT box = bounds();
  if (!style_.transparent && !VisualStylesActive())
    FillRect(dc, &box, GetSysColorBrush(COLOR_BTNFACE));
  SelectedObject font(dc, style_.font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, color());
  // The system tells what the drawing touched, so that a repaint covers it all.
  SetBoundsRect(dc, nullptr, DCB_ENABLE | DCB_RESET);
  DrawTextA(dc, text_.c_str(), static_cast<int>(text_.size()), &box, DrawFlags());
  RECT drawn;
  if (GetBoundsRect(dc, &drawn, DCB_RESET) == DCB_SET) drawn_ = drawn;
  SetBoundsRect(dc, nullptr, DCB_DISABLE);
}

RECT Label::DrawnArea() const {
  RECT area;
  UnionRect(&area, &bounds(), &drawn_);
  return area;
}

}  // namespace wizard
