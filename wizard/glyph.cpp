#include "wizard/glyph.h"

#include "platform/unique_resource.h"
#include "wizard/gdi.h"
#include "wizard/shrink.h"

#include <algorithm>

namespace wizard {
namespace {

BITMAPINFO TopDown32(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

bool IsDark(std::uint32_t pixel) {
  const unsigned red = (pixel >> 16) & 0xFF, green = (pixel >> 8) & 0xFF, blue = pixel & 0xFF;
  return red * 30 + green * 59 + blue * 11 < 192 * 100;
}

}  // namespace

std::uint32_t PixelOf(COLORREF color) noexcept {
  return (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
}

Pixels GreyedImage(const Pixels& image, int width, int height, std::uint32_t transparent,
                   std::uint32_t highlight, std::uint32_t shadow) {
  auto ink = [&](int x, int y) {
    if (x < 0 || y < 0) return false;
    const std::uint32_t pixel = image[static_cast<size_t>(y) * width + x];
    return pixel != transparent && IsDark(pixel);
  };
  Pixels greyed(image.size(), transparent);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint32_t& out = greyed[static_cast<size_t>(y) * width + x];
      if (ink(x, y)) {
        out = shadow;
      } else if (ink(x - 1, y - 1)) {
        out = highlight;
      }
    }
  }
  return greyed;
}

Glyph::Glyph(HBITMAP bitmap, int imageCount) : imageCount_(std::max(imageCount, 1)) {
  BITMAP header{};
  if (!bitmap || !GetObjectA(bitmap, sizeof header, &header)) return;
  if (header.bmWidth <= 0 || header.bmHeight <= 0) return;
  BITMAPINFO info = TopDown32(header.bmWidth, header.bmHeight);
  Pixels pixels(static_cast<size_t>(header.bmWidth) * header.bmHeight);
  if (!GetDIBits(ScratchDc(), bitmap, 0, header.bmHeight, pixels.data(), &info, DIB_RGB_COLORS)) {
    return;  // an unreadable picture draws as no picture
  }
  for (std::uint32_t& pixel : pixels) pixel &= 0xFFFFFF;
  pixels_ = std::move(pixels);
  width_ = header.bmWidth;
  height_ = header.bmHeight;
  transparent_ = pixels_[static_cast<size_t>(height_ - 1) * width_];
}

Glyph Glyph::FromResource(const char* name, int imageCount) {
  platform::UniqueBitmap bitmap(static_cast<HBITMAP>(
      LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  return Glyph(bitmap.get(), imageCount);
}

Glyph Glyph::Shrunk(int imageWidth) const {
  const int oldWidth = this->imageWidth();
  if (empty() || imageWidth >= oldWidth || imageWidth <= 0) return *this;
  const int newHeight = std::max(1, (height_ * imageWidth + oldWidth / 2) / oldWidth);
  Glyph shrunk;
  shrunk.imageCount_ = imageCount_;
  shrunk.width_ = imageWidth * imageCount_;
  shrunk.height_ = newHeight;
  shrunk.transparent_ = transparent_;
  shrunk.pixels_.resize(static_cast<size_t>(shrunk.width_) * newHeight);
  // Image by image, so that neither bleeds into the other.
  for (int index = 0; index < imageCount_; ++index) {
    const Pixels image =
        ShrinkKeyed(Slice(index), oldWidth, height_, imageWidth, newHeight, transparent_);
    for (int y = 0; y < newHeight; ++y) {
      std::copy_n(
          image.begin() + static_cast<ptrdiff_t>(y) * imageWidth, imageWidth,
          shrunk.pixels_.begin() + static_cast<ptrdiff_t>(y) * shrunk.width_ + index * imageWidth);
    }
  }
  return shrunk;
}

Pixels Glyph::Slice(int index) const {
  const int width = imageWidth();
  Pixels image(static_cast<size_t>(width) * height_);
  for (int y = 0; y < height_; ++y) {
    const auto row = pixels_.begin() + static_cast<ptrdiff_t>(y) * width_ + index * width;
    std::copy(row, row + width, image.begin() + static_cast<ptrdiff_t>(y) * width);
  }
  return image;
}

Pixels Glyph::Image(bool enabled) const {
  if (empty()) return {};
  if (enabled) return Slice(0);
  if (imageCount_ > 1) return Slice(1);
  return GreyedImage(Slice(0), imageWidth(), height_, transparent_,
                     PixelOf(GetSysColor(COLOR_BTNHIGHLIGHT)),
                     PixelOf(GetSysColor(COLOR_BTNSHADOW)));
}

// A keyed copy made by hand: the mask cuts the picture's shape out of the
// destination (AND), then the picture, black where it is transparent, is laid
// into it (OR). The system's keyed copy looks at the display on every call.
void Glyph::Draw(HDC dc, int x, int y, bool enabled) const {
  if (empty()) return;
  const int width = imageWidth();
  const Pixels image = Image(enabled);
  // The mask in the upper half, the picture in the lower.
  BITMAPINFO info = TopDown32(width, 2 * height_);
  void* bits = nullptr;
  platform::UniqueBitmap section(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!section) return;  // no room for the picture: the button shows its caption
  auto* const mask = static_cast<std::uint32_t*>(bits);
  std::uint32_t* const picture = mask + image.size();
  for (size_t i = 0; i < image.size(); ++i) {
    const bool keyed = image[i] == transparent_;
    mask[i] = keyed ? 0xFFFFFF : 0;
    picture[i] = keyed ? 0 : image[i];
  }
  SelectedObject selected(ScratchDc(), section.get());
  BitBlt(dc, x, y, width, height_, ScratchDc(), 0, 0, SRCAND);
  BitBlt(dc, x, y, width, height_, ScratchDc(), 0, height_, SRCPAINT);
}

}  // namespace wizard
