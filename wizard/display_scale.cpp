#include "wizard/display_scale.h"

#include "platform/system_library.h"

namespace wizard {
namespace {

// Systems before Windows 10 lack the per-window functions: they are looked
// up by name in the library the system has loaded already.
template <typename Function>
Function User32Function(const char* name) {
  return platform::LookUp<Function>(GetModuleHandleA("user32.dll"), name);
}

}  // namespace

int ArtworkPercent(DisplayScale scale) noexcept {
  for (const int percent : {100, 125, 150}) {
    if (scale.dpi() * 100 <= percent * kDesignDpi) return percent;
  }
  return 200;
}

std::string ArtworkName(const char* name, DisplayScale scale) {
  const int percent = ArtworkPercent(scale);
  return percent == 100 ? std::string(name) : name + std::to_string(percent);
}

int DpiOfWindow(HWND window) {
  using DpiForWindow = UINT(WINAPI*)(HWND);
  static const auto dpiForWindow = User32Function<DpiForWindow>("GetDpiForWindow");
  if (dpiForWindow && window) {
    if (const UINT dpi = dpiForWindow(window)) return static_cast<int>(dpi);
  }
  return ScreenDpi();
}

int ScreenDpi() {
  const HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : kDesignDpi;
}

RECT FrameForClient(SIZE client, DWORD style, DWORD exStyle, int dpi) {
  using AdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  static const auto adjustForDpi = User32Function<AdjustForDpi>("AdjustWindowRectExForDpi");
  RECT frame{0, 0, client.cx, client.cy};
  if (adjustForDpi && adjustForDpi(&frame, style, FALSE, exStyle, static_cast<UINT>(dpi))) {
    return frame;
  }
  frame = RECT{0, 0, client.cx, client.cy};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  return frame;
}

}  // namespace wizard
