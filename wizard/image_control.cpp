#include "wizard/image_control.h"

#include "wizard/gdi.h"

namespace wizard {

ImageControl::ImageControl(Surface& parent, RECT bounds, bool transparent)
    : WindowlessControl(parent, bounds), transparent_(transparent) {}

void ImageControl::SetBitmap(platform::UniqueBitmap bitmap) {
  bitmap_ = std::move(bitmap);
  bitmapSize_ = {};
  transparentColor_ = CLR_INVALID;
  BITMAP header{};
  if (bitmap_ && GetObjectA(bitmap_.get(), sizeof header, &header)) {
    bitmapSize_ = {header.bmWidth, header.bmHeight};
    platform::UniqueMemoryDc memory(CreateCompatibleDC(nullptr));
    SelectedObject selected(memory.get(), bitmap_.get());
    transparentColor_ = GetPixel(memory.get(), 0, header.bmHeight - 1);
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
  if (!bitmap_) return;
  platform::UniqueMemoryDc memory(CreateCompatibleDC(dc));
  if (!memory) return;  // nothing to draw with: the parent shows through
  SelectedObject selected(memory.get(), bitmap_.get());
  const int w = bitmapSize_.cx, h = bitmapSize_.cy;
  if (transparent_ && transparentColor_ != CLR_INVALID) {
    GdiTransparentBlt(dc, box.left, box.top, w, h, memory.get(), 0, 0, w, h, transparentColor_);
  } else {
    BitBlt(dc, box.left, box.top, w, h, memory.get(), 0, 0, SRCCOPY);
  }
}

}  // namespace wizard
