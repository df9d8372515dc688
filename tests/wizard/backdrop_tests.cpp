// The backdrop's greys, column by column, and the bitmap they are written to.
#include "wizard/backdrop.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

namespace {

std::vector<int> Columns(int width) {
  std::vector<int> greys;
  for (int x = 0; x < width; ++x) greys.push_back(wizard::BackdropGrey(x, width));
  return greys;
}

TEST(BackdropTest, WindowWidthColumnsMapToTheDesignedGreys) {
  const std::vector<int> greys = Columns(380);
  struct Run {
    int first, last, grey;
  };
  for (const Run run : {Run{0, 1, 245},
                        {2, 5, 244},
                        {6, 9, 243},
                        {10, 13, 242},
                        {188, 191, 195},
                        {374, 377, 146},
                        {378, 379, 145}}) {
    for (int x = run.first; x <= run.last; ++x) EXPECT_EQ(greys[x], run.grey) << "column " << x;
  }
  EXPECT_EQ(greys[14], 241);  // each run ends where the list says
}

TEST(BackdropTest, ExtremesHoldWhateverTheWidth) {
  EXPECT_EQ(Columns(2), (std::vector<int>{245, 145}));
  EXPECT_EQ(Columns(3), (std::vector<int>{245, 195, 145}));
}

TEST(BackdropTest, HalfwayValuesRoundToEven) {
  const std::vector<int> greys = Columns(201);
  // q = 0.5, 1.5, 2.5 at columns 1, 3, 5.
  EXPECT_EQ(std::vector<int>(greys.begin(), greys.begin() + 6),
            (std::vector<int>{245, 245, 244, 243, 243, 243}));
  EXPECT_EQ(greys[200], 145);
}

TEST(BackdropTest, EveryRowIsFilledAndRowPaddingIsLeftAlone) {
  const int width = 5, height = 3, stride = 16;  // 15 bytes of pixels, one spare
  std::vector<std::uint8_t> rows(stride * height, 0xAB);
  wizard::PaintBackdrop(rows.data(), width, height, stride);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      for (int channel = 0; channel < 3; ++channel) {
        EXPECT_EQ(rows[y * stride + x * 3 + channel], wizard::BackdropGrey(x, width));
      }
    }
    EXPECT_EQ(rows[y * stride + 15], 0xAB) << "row " << y;
  }
}

TEST(BackdropTest, BitmapIs24BitsAndHoldsTheGradient) {
  platform::UniqueBitmap bitmap = wizard::CreateBackdropBitmap(380, 206);
  DIBSECTION section{};
  ASSERT_EQ(GetObjectA(bitmap.get(), sizeof section, &section), static_cast<int>(sizeof section));
  EXPECT_EQ(section.dsBm.bmWidth, 380);
  EXPECT_EQ(section.dsBm.bmHeight, 206);
  EXPECT_EQ(section.dsBm.bmBitsPixel, 24);
  platform::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  HGDIOBJ previous = SelectObject(dc.get(), bitmap.get());
  EXPECT_EQ(GetPixel(dc.get(), 0, 205), RGB(245, 245, 245));
  EXPECT_EQ(GetPixel(dc.get(), 190, 100), RGB(195, 195, 195));
  EXPECT_EQ(GetPixel(dc.get(), 379, 0), RGB(145, 145, 145));
  SelectObject(dc.get(), previous);
}

}  // namespace
