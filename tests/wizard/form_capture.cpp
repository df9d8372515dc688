#include "tests/wizard/form_capture.h"

#include "platform/unique_resource.h"

#include <cstring>
#include <fstream>

namespace test {

std::uint32_t Rgb(COLORREF color) {
  return (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
}

namespace {

struct DibSurface {
  DibSurface(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB};
    section.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    memory.reset(CreateCompatibleDC(nullptr));
    previous = SelectObject(memory.get(), section.get());
  }
  ~DibSurface() { SelectObject(memory.get(), previous); }
  Capture Read(int width, int height) const {
    GdiFlush();
    Capture capture{width, height, std::vector<std::uint32_t>(static_cast<size_t>(width) * height)};
    std::memcpy(capture.pixels.data(), bits, capture.pixels.size() * 4);
    for (auto& pixel : capture.pixels) pixel &= 0xFFFFFF;
    return capture;
  }
  void* bits = nullptr;
  platform::UniqueBitmap section;
  platform::UniqueMemoryDc memory;
  HGDIOBJ previous = nullptr;
};

}  // namespace

Capture RenderSurface(const wizard::Surface& surface) {
  RECT client;
  GetClientRect(surface.hwnd(), &client);
  DibSurface dib(client.right, client.bottom);
  surface.PaintClient(dib.memory.get(), client);
  return dib.Read(client.right, client.bottom);
}

Capture CaptureClient(HWND window) {
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_ERASE);
  RECT client;
  GetClientRect(window, &client);
  Capture capture{client.right, client.bottom, {}};
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, capture.width, -capture.height, 1, 32, BI_RGB};
  void* bits = nullptr;
  platform::UniqueBitmap section(
      CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  platform::UniqueMemoryDc memory(CreateCompatibleDC(nullptr));
  HGDIOBJ previous = SelectObject(memory.get(), section.get());
  HDC screen = GetDC(nullptr);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  BitBlt(memory.get(), 0, 0, capture.width, capture.height, screen, origin.x, origin.y, SRCCOPY);
  ReleaseDC(nullptr, screen);
  GdiFlush();
  capture.pixels.resize(static_cast<size_t>(capture.width) * capture.height);
  std::memcpy(capture.pixels.data(), bits, capture.pixels.size() * 4);
  for (auto& pixel : capture.pixels) pixel &= 0xFFFFFF;
  SelectObject(memory.get(), previous);
  return capture;
}

void WriteBitmapFile(const Capture& capture, const std::string& path) {
  BITMAPINFOHEADER header{sizeof header, capture.width, -capture.height, 1, 32, BI_RGB};
  const DWORD imageBytes = static_cast<DWORD>(capture.pixels.size() * 4);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = file.bfOffBits + imageBytes;
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&header), sizeof header);
  out.write(reinterpret_cast<const char*>(capture.pixels.data()), imageBytes);
}

}  // namespace test
