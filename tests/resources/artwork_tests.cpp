// The pictures of the built program: the button glyphs and the welcome icon.
#include "tests/resources/built_program.h"

#include <cstring>

namespace {

using Artwork = test::BuiltProgram;

bool IsWhite(COLORREF c) {
  return GetRValue(c) > 230 && GetGValue(c) > 230 && GetBValue(c) > 230;
}
bool IsGreen(COLORREF c) {
  return GetGValue(c) > GetRValue(c) + 40 && GetGValue(c) > GetBValue(c) + 40;
}
bool IsGrey(COLORREF c) {
  return GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c);
}

// Checks the format of a glyph bitmap and answers its pixels.
test::Bitmap24 Glyph(std::string_view resource, int width, int height) {
  const BITMAPINFOHEADER header = test::BitmapHeader(resource);
  EXPECT_EQ(header.biWidth, width);
  EXPECT_EQ(header.biHeight, height) << "stored bottom-up";
  EXPECT_EQ(header.biBitCount, 24);
  EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
  test::Bitmap24 glyph(resource);
  // The bottom-left pixel gives the transparent colour.
  EXPECT_EQ(glyph.At(0, height - 1), test::Magenta);
  return glyph;
}

// The corners of each square image lie outside the round button.
void ExpectMagentaCorners(const test::Bitmap24& glyph, int left, int size) {
  for (int x : {left, left + size - 1}) {
    for (int y : {0, size - 1}) {
      EXPECT_EQ(glyph.At(x, y), test::Magenta) << "corner " << x << "," << y;
    }
  }
}

TEST_F(Artwork, GlyphsHaveTheirSizesAndAMagentaSurround) {
  ExpectMagentaCorners(Glyph(Resource(RT_BITMAP, "BACKGLYPH"), 48, 24), 0, 24);
  ExpectMagentaCorners(Glyph(Resource(RT_BITMAP, "CONTINUEGLYPH"), 48, 24), 24, 24);
  ExpectMagentaCorners(Glyph(Resource(RT_BITMAP, "EXITGLYPH"), 24, 24), 0, 24);
  Glyph(Resource(RT_BITMAP, "FOLDERGLYPH"), 16, 16);
  // The system loads them as bitmaps of these sizes too.
  for (const char* name : {"BACKGLYPH", "CONTINUEGLYPH", "EXITGLYPH", "FOLDERGLYPH"}) {
    platform::UniqueBitmap bitmap(
        static_cast<HBITMAP>(LoadImageA(module(), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    ASSERT_TRUE(bitmap) << name << ", error " << GetLastError();
    BITMAP info{};
    ASSERT_TRUE(GetObjectA(bitmap.get(), sizeof info, &info));
    EXPECT_EQ(info.bmBitsPixel, 24) << name;
  }
}

// The column of the enabled image that holds the most white: the arrow's head.
int ArrowHeadColumn(const test::Bitmap24& glyph) {
  int best = -1, most = 0;
  for (int x = 0; x < 24; ++x) {
    int white = 0;
    for (int y = 0; y < 24; ++y) white += IsWhite(glyph.At(x, y));
    if (white > most) best = x, most = white;
  }
  return best;
}

// Enabled image: a green button with white on it; disabled image: the same
// shape, in greys only.
void ExpectEnabledAndDisabledTwins(const test::Bitmap24& glyph) {
  int green = 0, white = 0;
  for (int y = 0; y < 24; ++y) {
    for (int x = 0; x < 24; ++x) {
      const COLORREF enabled = glyph.At(x, y), disabled = glyph.At(x + 24, y);
      green += IsGreen(enabled);
      white += IsWhite(enabled);
      EXPECT_EQ(enabled == test::Magenta, disabled == test::Magenta)
          << "same shape at " << x << "," << y;
      if (disabled != test::Magenta) {
        EXPECT_TRUE(IsGrey(disabled)) << "grey at " << x << "," << y;
      }
    }
  }
  EXPECT_GT(green, 200) << "a green button";
  EXPECT_GT(white, 40) << "a white arrow";
}

TEST_F(Artwork, BackAndContinueShowOpposedArrowsWithGreyDisabledTwins) {
  const test::Bitmap24 back = Glyph(Resource(RT_BITMAP, "BACKGLYPH"), 48, 24);
  const test::Bitmap24 next = Glyph(Resource(RT_BITMAP, "CONTINUEGLYPH"), 48, 24);
  {
    SCOPED_TRACE("Back");
    ExpectEnabledAndDisabledTwins(back);
  }
  {
    SCOPED_TRACE("Continue");
    ExpectEnabledAndDisabledTwins(next);
  }
  EXPECT_LT(ArrowHeadColumn(back), 12) << "Back points left";
  EXPECT_GT(ArrowHeadColumn(next), 12) << "Continue points right";
}

TEST_F(Artwork, ExitShowsAWhiteCrossOnGreenAndTheFolderIsYellow) {
  const test::Bitmap24 exit = Glyph(Resource(RT_BITMAP, "EXITGLYPH"), 24, 24);
  EXPECT_TRUE(IsWhite(exit.At(12, 12))) << "the crossing";
  EXPECT_TRUE(IsWhite(exit.At(8, 8)) && IsWhite(exit.At(15, 15)) && IsWhite(exit.At(15, 8)))
      << "the arms";
  EXPECT_TRUE(IsGreen(exit.At(12, 6)) && IsGreen(exit.At(6, 12))) << "green between the arms";

  const test::Bitmap24 folder = Glyph(Resource(RT_BITMAP, "FOLDERGLYPH"), 16, 16);
  int picture = 0, yellow = 0;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      const COLORREF c = folder.At(x, y);
      if (c == test::Magenta) continue;
      ++picture;
      yellow += GetRValue(c) > GetBValue(c) + 80 && GetGValue(c) > GetBValue(c) + 40;
    }
  }
  EXPECT_GT(picture, 100);
  EXPECT_GT(yellow, picture * 3 / 4);
}

TEST_F(Artwork, GlobeIconIsOne48PixelImageWithAlpha) {
  const std::string_view file = Resource(RT_RCDATA, "GLOBEICON");
  WORD directory[3]{};
  ASSERT_GE(file.size(), 6u + 16u);
  std::memcpy(directory, file.data(), sizeof directory);
  EXPECT_EQ(directory[0], 0);
  EXPECT_EQ(directory[1], 1) << "an .ico file";
  ASSERT_EQ(directory[2], 1) << "one image";
  const auto* entry = reinterpret_cast<const BYTE*>(file.data() + 6);
  EXPECT_EQ(entry[0], 48);
  EXPECT_EQ(entry[1], 48);
  DWORD bytes = 0, offset = 0;
  std::memcpy(&bytes, entry + 8, 4);
  std::memcpy(&offset, entry + 12, 4);
  ASSERT_LE(offset + bytes, file.size());
  const std::string_view image = file.substr(offset, bytes);
  const BITMAPINFOHEADER header = test::BitmapHeader(image);
  EXPECT_EQ(header.biWidth, 48);
  EXPECT_EQ(header.biHeight, 96);
  ASSERT_EQ(header.biBitCount, 32);
  ASSERT_GE(image.size(), header.biSize + 48u * 48u * 4u);

  int clear = 0, solid = 0, partial = 0, blue = 0;
  for (size_t i = header.biSize; i < header.biSize + 48 * 48 * 4; i += 4) {
    const auto* p = reinterpret_cast<const BYTE*>(image.data() + i);  // blue, green, red, alpha
    clear += p[3] == 0;
    solid += p[3] == 255;
    partial += p[3] != 0 && p[3] != 255;
    blue += p[3] == 255 && p[0] > p[2] + 60;
  }
  EXPECT_GT(clear, 100) << "the background shows around the globe";
  EXPECT_GT(solid, 48 * 48 / 2);
  EXPECT_GT(partial, 0) << "smoothed edges";
  EXPECT_GT(blue, 200) << "sea and screens";

  std::vector<BYTE> copy(image.begin(), image.end());
  platform::UniqueIcon icon(
      CreateIconFromResourceEx(copy.data(), copy.size(), TRUE, 0x00030000, 48, 48, 0));
  EXPECT_TRUE(icon) << "error " << GetLastError();
}

}  // namespace
