#include "wizard/backdrop.h"

#include "platform/error.h"

#include <windows.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace wizard {

std::uint8_t BackdropGrey(int x, int width) {
  // x * 100 is formed as an integer first; nearbyint under the default
  // rounding mode sends a halfway value to the even neighbour.
  const double q = static_cast<double>(x * 100) / static_cast<double>(width - 1);
  return static_cast<std::uint8_t>(245 - static_cast<int>(std::nearbyint(q)));
}

void PaintBackdrop(std::uint8_t* rows, int width, int height, std::ptrdiff_t stride) {
  std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * 3);
  for (int x = 0; x < width; ++x) {
    const std::uint8_t grey = BackdropGrey(x, width);
    row[x * 3] = row[x * 3 + 1] = row[x * 3 + 2] = grey;
  }
  for (int y = 0; y < height; ++y) std::memcpy(rows + y * stride, row.data(), row.size());
}

platform::UniqueBitmap CreateBackdropBitmap(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // rows top to bottom
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  platform::UniqueBitmap bitmap(
      CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || !bits) {
    platform::Raise("Failed to create the backdrop bitmap",
                    platform::Win32Failure("CreateDIBSection", GetLastError()));
  }
  // DIB rows are padded to a multiple of four bytes.
  const std::ptrdiff_t stride = ((static_cast<std::ptrdiff_t>(width) * 24 + 31) / 32) * 4;
  PaintBackdrop(static_cast<std::uint8_t*>(bits), width, height, stride);
  GdiFlush();
  return bitmap;
}

}  // namespace wizard
