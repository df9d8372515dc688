// The picture of a speed button: one image, or two side by side (the first
// shown when the button is enabled, the second when it is disabled). The
// colour of the bitmap's bottom-left pixel is transparent.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace wizard {

// Pixels as 0x00RRGGBB, rows top to bottom.
using Pixels = std::vector<std::uint32_t>;

std::uint32_t PixelOf(COLORREF color) noexcept;

// The greyed twin of a one-image glyph: every dark pixel of the picture in
// the shadow colour, with a highlight one pixel below and to the right, the
// rest transparent (`transparent`).
Pixels GreyedImage(const Pixels& image, int width, int height, std::uint32_t transparent,
                   std::uint32_t highlight, std::uint32_t shadow);

class Glyph {
 public:
  Glyph() = default;
  // A copy of the bitmap's pixels; an empty glyph when there is no bitmap.
  Glyph(HBITMAP bitmap, int imageCount);
  // A bitmap resource of the program; a missing one gives an empty glyph.
  static Glyph FromResource(const char* name, int imageCount);

  bool empty() const noexcept { return pixels_.empty(); }
  int imageWidth() const noexcept { return empty() ? 0 : width_ / imageCount_; }
  int height() const noexcept { return height_; }
  std::uint32_t transparent() const noexcept { return transparent_; }

  // The pixels shown for a state, transparent pixels included.
  Pixels Image(bool enabled) const;
  // The same glyph with each image `imageWidth` pixels wide (no wider than
  // now), its height in proportion, shrunk with an area filter.
  Glyph Shrunk(int imageWidth) const;

  // Draws the image for a state with its top-left corner at x, y.
  void Draw(HDC dc, int x, int y, bool enabled) const;

 private:
  Pixels Slice(int index) const;

  Pixels pixels_;
  int width_ = 0;
  int height_ = 0;
  int imageCount_ = 1;
  std::uint32_t transparent_ = 0;
};

}  // namespace wizard
