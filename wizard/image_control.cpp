#include "wizard/image_control.h"

#include "wizard/gdi.h"
#include "wizard/glyph.h"

#include <algorithm>
#include <vector>

namespace wizard {
namespace {

struct ColumnSpan {
  int first;
  int last;
};

// The columns of the bitmap where the colour occurs; all of them when the
// pixels cannot be read, so that nothing is drawn that should not be.
ColumnSpan ColumnsWith(HBITMAP bitmap, SIZE size, COLORREF color) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, size.cx, -size.cy, 1, 32, BI_RGB};
  std::vector<std::uint32_t> pixels(static_cast<size_t>(size.cx) * size.cy);
  if (!GetDIBits(ScratchDc(), bitmap, 0, size.cy, pixels.data(), &info, DIB_RGB_COLORS)) {
    return {0, size.cx - 1};
  }
  const std::uint32_t wanted = PixelOf(color);
  ColumnSpan span{size.cx, -1};
  for (size_t i = 0; i < pixels.size(); ++i) {
    if ((pixels[i] & 0xFFFFFF) != wanted) continue;
    const int x = static_cast<int>(i % size.cx);
    span = {std::min(span.first, x), std::max(span.last, x)};
  }
  return span;
}

}  // namespace

ImageControl::ImageControl(Surface& parent, RECT bounds, bool transparent)
    : WindowlessControl(parent, bounds), transparent_(transparent) {}

void ImageControl::SetBitmap(platform::UniqueBitmap bitmap) {
  bitmap_ = std::move(bitmap);
  bitmapSize_ = {};
  transparentColor_ = CLR_INVALID;
  BITMAP header{};
  if (bitmap_ && GetObjectA(bitmap_.get(), sizeof header, &header)) {
    bitmapSize_ = {header.bmWidth, header.bmHeight};
    SelectedObject selected(ScratchDc(), bitmap_.get());
    transparentColor_ = GetPixel(ScratchDc(), 0, header.bmHeight - 1);
  }
  if (transparentColor_ != CLR_INVALID) {
    const ColumnSpan keyed = ColumnsWith(bitmap_.get(), bitmapSize_, transparentColor_);
    firstKeyedColumn_ = keyed.first;
    lastKeyedColumn_ = keyed.last;
  }
  Invalidate();
}

void ImageControl::SetIcon(platform::UniqueIcon icon) {
  icon_ = std::move(icon);
  Invalidate();
}

void ImageControl::Paint(HDC dc) const {
  const RECT& box = bounds();
  if (icon_) {
    DrawIconEx(dc, box.left, box.top, icon_.get(), width(), height(), 0, nullptr, DI_NORMAL);
  }
  if (bitmap_) PaintBitmap(dc);
}

// A keyed copy costs many times a plain one (about 2 ms for the backdrop,
// on every paint of the window): columns without the transparent colour
// are copied plainly, which draws the very same pixels.
void ImageControl::PaintBitmap(HDC dc) const {
  const HDC memory = ScratchDc();
  SelectedObject selected(memory, bitmap_.get());
  const int left = bounds().left, top = bounds().top, h = bitmapSize_.cy;
  const auto copy = [&](int from, int to) {
    if (to > from) BitBlt(dc, left + from, top, to - from, h, memory, from, 0, SRCCOPY);
  };
  if (!transparent_ || transparentColor_ == CLR_INVALID || firstKeyedColumn_ > lastKeyedColumn_) {
    copy(0, bitmapSize_.cx);
    return;
  }
  const int first = firstKeyedColumn_, width = lastKeyedColumn_ - first + 1;
  copy(0, first);
  GdiTransparentBlt(dc, left + first, top, width, h, memory, first, 0, width, h, transparentColor_);
  copy(first + width, bitmapSize_.cx);
}

}  // namespace wizard
