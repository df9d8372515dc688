// An image without a window of its own: one picture at its top-left corner,
// unscaled. A transparent bitmap is drawn with the colour of its bottom-left
// pixel as the transparent colour; an icon is drawn with its alpha channel.
#pragma once

#include "platform/unique_resource.h"
#include "wizard/windowless_control.h"

namespace wizard {

class ImageControl : public WindowlessControl {
 public:
  ImageControl(Surface& parent, RECT bounds, bool transparent);

  void SetBitmap(platform::UniqueBitmap bitmap);
  void SetIcon(platform::UniqueIcon icon);
  HBITMAP bitmap() const noexcept { return bitmap_.get(); }
  HICON icon() const noexcept { return icon_.get(); }
  COLORREF transparentColor() const noexcept { return transparentColor_; }

  void Paint(HDC dc) const override;

 private:
  void PaintBitmap(HDC dc) const;

  bool transparent_;
  platform::UniqueBitmap bitmap_;
  SIZE bitmapSize_{};
  COLORREF transparentColor_ = CLR_INVALID;
  // The columns that hold the transparent colour, the only ones that need
  // the slow keyed copy; none when first > last.
  int firstKeyedColumn_ = 0;
  int lastKeyedColumn_ = -1;
  platform::UniqueIcon icon_;
};

}  // namespace wizard
