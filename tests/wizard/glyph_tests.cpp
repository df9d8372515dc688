// Speed-button glyphs: which image shows in which state, greying, the
// transparent colour and the icon files of the artwork.
#include "wizard/glyph.h"
#include "wizard/icon_file.h"

#include "platform/unique_resource.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

constexpr std::uint32_t kMagenta = 0xFF00FF, kGreen = 0x00A000, kGrey = 0x808080, kWhite = 0xFFFFFF;

// A 24-bit bitmap, magenta around a square of `colors[i]` in each image.
platform::UniqueBitmap MakeGlyphBitmap(int imageWidth, int height,
                                       std::vector<std::uint32_t> colors) {
  const int width = imageWidth * static_cast<int>(colors.size());
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB};
  void* bits = nullptr;
  platform::UniqueBitmap bitmap(
      CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  auto* pixels = static_cast<std::uint32_t*>(bits);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int local = x % imageWidth;
      const bool inside = local >= 4 && local < imageWidth - 4 && y >= 4 && y < height - 4;
      pixels[y * width + x] = inside ? colors[x / imageWidth] : kMagenta;
    }
  }
  GdiFlush();
  return bitmap;
}

TEST(GlyphTest, TwoImagesShowTheFirstWhenEnabledAndTheSecondWhenDisabled) {
  const platform::UniqueBitmap bitmap = MakeGlyphBitmap(24, 24, {kGreen, kGrey});
  const wizard::Glyph glyph(bitmap.get(), 2);
  EXPECT_EQ(glyph.imageWidth(), 24);
  EXPECT_EQ(glyph.transparent(), kMagenta);
  EXPECT_EQ(glyph.Image(true).at(12 * 24 + 12), kGreen);
  EXPECT_EQ(glyph.Image(false).at(12 * 24 + 12), kGrey);
  EXPECT_EQ(glyph.Image(false).at(0), kMagenta);
}

TEST(GlyphTest, OneImageIsGreyedWhenDisabled) {
  const platform::UniqueBitmap bitmap = MakeGlyphBitmap(16, 16, {kGreen});
  const wizard::Glyph glyph(bitmap.get(), 1);
  const wizard::Pixels greyed = glyph.Image(false);
  const std::uint32_t shadow = wizard::PixelOf(GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(greyed.at(8 * 16 + 8), shadow);
  EXPECT_EQ(greyed.at(0), kMagenta);  // the surround stays transparent
  EXPECT_EQ(glyph.Image(true).at(8 * 16 + 8), kGreen);
}

TEST(GlyphTest, GreyingEmbossesDarkPixelsAndDropsLightOnes) {
  // 4 × 3: a dark pixel at (1, 0), a white one at (2, 1), key elsewhere.
  const wizard::Pixels image{kMagenta, 0x202020, kMagenta, kMagenta,  //
                             kMagenta, kMagenta, kWhite,   kMagenta,  //
                             kMagenta, kMagenta, kMagenta, kMagenta};
  const wizard::Pixels greyed = wizard::GreyedImage(image, 4, 3, kMagenta, 0xEEEEEE, 0x111111);
  const wizard::Pixels expected{kMagenta, 0x111111, kMagenta, kMagenta,  //
                                kMagenta, kMagenta, 0xEEEEEE, kMagenta,  //
                                kMagenta, kMagenta, kMagenta, kMagenta};
  EXPECT_EQ(greyed, expected);
}

TEST(GlyphTest, MissingBitmapGivesAnEmptyGlyph) {
  const wizard::Glyph glyph = wizard::Glyph::FromResource("NOSUCHGLYPH", 2);
  EXPECT_TRUE(glyph.empty());
  EXPECT_EQ(glyph.imageWidth(), 0);
  EXPECT_TRUE(glyph.Image(false).empty());
}

std::vector<std::uint8_t> IconFile(std::vector<std::pair<int, std::uint32_t>> images) {
  std::vector<std::uint8_t> file{0, 0, 1, 0, static_cast<std::uint8_t>(images.size()), 0};
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
  auto put32 = [&](std::uint32_t value) {
    for (int i = 0; i < 4; ++i) file.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  };
  for (auto [size, bytes] : images) {
    file.insert(file.end(), {static_cast<std::uint8_t>(size), static_cast<std::uint8_t>(size), 0, 0,
                             1, 0, 32, 0});
    put32(bytes);
    put32(offset);
    offset += bytes;
  }
  file.resize(offset, 0x5A);
  return file;
}

TEST(IconFileTest, PicksTheImageClosestToTheAskedSize) {
  const std::vector<std::uint8_t> file = IconFile({{16, 40}, {48, 100}, {32, 60}});
  const auto image = wizard::FindIconImage(file, 48);
  ASSERT_TRUE(image.has_value());
  EXPECT_EQ(image->offset, 6u + 16 * 3 + 40);
  EXPECT_EQ(image->size, 100u);
}

TEST(IconFileTest, RejectsMalformedFiles) {
  std::vector<std::uint8_t> file = IconFile({{48, 100}});
  EXPECT_FALSE(wizard::FindIconImage(std::span(file).first(10), 48));  // directory cut short
  file.resize(file.size() - 1);                                        // image runs past the end
  EXPECT_FALSE(wizard::FindIconImage(file, 48));
  std::vector<std::uint8_t> cursor = IconFile({{48, 100}});
  cursor[2] = 2;  // a cursor file, not an icon file
  EXPECT_FALSE(wizard::FindIconImage(cursor, 48));
  EXPECT_FALSE(wizard::LoadIconFileResource("NOSUCHICON", 48));
}

}  // namespace
