// Reading back what a window shows: its client area as 0x00RRGGBB pixels,
// rows top to bottom, and a .bmp writer for looking at it.
#pragma once

#include "wizard/surface.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace test {

struct Capture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;

  std::uint32_t at(int x, int y) const { return pixels.at(static_cast<size_t>(y) * width + x); }
};

// What a surface paints itself (face, bevel, windowless controls; child
// windows excluded), drawn off screen: independent of other windows on the
// display.
Capture RenderSurface(const wizard::Surface& surface);

// Repaints the window and its children, then copies its client area from
// the screen.
Capture CaptureClient(HWND window);

void WriteBitmapFile(const Capture& capture, const std::string& path);

// 0x00RRGGBB of a COLORREF.
std::uint32_t Rgb(COLORREF color);

}  // namespace test
