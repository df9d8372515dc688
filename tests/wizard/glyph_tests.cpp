// Speed-button glyphs: which image shows in which state, greying, the
// transparent colour and the icon files of the artwork.
#include "wizard/glyph.h"
#include "wizard/icon_file.h"
#include "wizard/packed_artwork.h"
#include "wizard/shrink.h"

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

// Each image shrinks on its own: a new pixel averages the picture pixels it
// covers and is transparent where they are less than half of it.
TEST(GlyphTest, ShrunkImagesAverageTheirPictureAndKeepTheirSurround) {
  const platform::UniqueBitmap bitmap = MakeGlyphBitmap(24, 24, {kGreen, kWhite});
  const wizard::Glyph shrunk = wizard::Glyph(bitmap.get(), 2).Shrunk(12);
  ASSERT_EQ(shrunk.imageWidth(), 12);
  ASSERT_EQ(shrunk.height(), 12);
  EXPECT_EQ(shrunk.transparent(), kMagenta);
  const wizard::Pixels enabled = shrunk.Image(true), disabled = shrunk.Image(false);
  EXPECT_EQ(enabled[0], kMagenta);
  EXPECT_EQ(enabled[1 * 12 + 1], kMagenta);  // all of it the surround
  EXPECT_EQ(enabled[6 * 12 + 6], kGreen);    // all of it the picture, no magenta mixed in
  EXPECT_EQ(disabled[6 * 12 + 6], kWhite);   // the second image, not the first's edge
  EXPECT_EQ(disabled[6 * 12 + 11], kMagenta);
  // Three pixels into two: the middle one is shared half and half.
  const std::vector<std::uint32_t> row{0xFF0000FF, 0xFF0000FF, 0xFFFF0000};
  const std::vector<std::uint32_t> two = wizard::Shrink(row, 3, 1, 2, 1);
  EXPECT_EQ(two[0], 0xFF0000FFu);
  EXPECT_EQ(two[1], 0xFFAA0055u);  // a third blue, two thirds red
  // A half-transparent pixel weighs half.
  EXPECT_EQ(wizard::Shrink({0xFFFF0000, 0x800000FF}, 2, 1, 1, 1)[0], 0xC0AA0055u);
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

// An icon with alpha made smaller keeps its alpha: a 4 × 4 icon, opaque red
// on the left half and clear on the right, shrunk to 2 × 2.
TEST(IconFileTest, AShrunkIconKeepsItsColoursAndItsAlpha) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, 4, -4, 1, 32, BI_RGB};
  void* bits = nullptr;
  const platform::UniqueBitmap colour(
      CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  const platform::UniqueBitmap mask(CreateBitmap(4, 4, 1, 1, nullptr));
  for (int i = 0; i < 16; ++i) static_cast<std::uint32_t*>(bits)[i] = i % 4 < 2 ? 0xFFFF0000 : 0;
  GdiFlush();
  ICONINFO parts{TRUE, 0, 0, mask.get(), colour.get()};
  const platform::UniqueIcon icon(CreateIconIndirect(&parts));
  ASSERT_TRUE(icon);
  const platform::UniqueIcon shrunk = wizard::ShrunkIcon(icon.get(), 2);
  ASSERT_TRUE(shrunk);
  ICONINFO made{};
  ASSERT_TRUE(GetIconInfo(shrunk.get(), &made));
  const platform::UniqueBitmap madeColour(made.hbmColor), madeMask(made.hbmMask);
  info.bmiHeader.biWidth = 2;
  info.bmiHeader.biHeight = -2;
  std::uint32_t pixels[4] = {0xDEADBEEF, 0xDEADBEEF, 0xDEADBEEF, 0xDEADBEEF};
  const HDC screen = GetDC(nullptr);
  const int rows = GetDIBits(screen, madeColour.get(), 0, 2, pixels, &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  ASSERT_EQ(rows, 2);
  EXPECT_EQ(pixels[0], 0xFFFF0000u);
  EXPECT_EQ(pixels[2], 0xFFFF0000u);
  EXPECT_EQ(pixels[1] >> 24, 0u);
  EXPECT_EQ(pixels[3] >> 24, 0u);
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
