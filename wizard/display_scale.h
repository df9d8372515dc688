// The display's scale: the layout is designed at 96 dots per inch and every
// length of it is multiplied by dpi / 96, rounded to the nearest pixel, so
// that at 96 the layout is exactly the designed one.
#pragma once

#include <windows.h>

#include <string>

namespace wizard {

inline constexpr int kDesignDpi = 96;

class DisplayScale {
 public:
  constexpr DisplayScale() noexcept = default;
  constexpr explicit DisplayScale(int dpi) noexcept : dpi_(dpi > 0 ? dpi : kDesignDpi) {}

  constexpr int dpi() const noexcept { return dpi_; }
  constexpr bool designed() const noexcept { return dpi_ == kDesignDpi; }

  // A designed length at this scale; halfway cases round away from zero.
  constexpr int operator()(int length) const noexcept {
    const long long scaled = static_cast<long long>(length) * dpi_ * 2 / kDesignDpi;
    return static_cast<int>(scaled >= 0 ? (scaled + 1) / 2 : -((1 - scaled) / 2));
  }
  // A designed rectangle: each edge scaled, so that boxes that meet in the
  // design still meet and one that lies inside another stays inside.
  constexpr RECT operator()(const RECT& box) const noexcept {
    return RECT{(*this)(box.left), (*this)(box.top), (*this)(box.right), (*this)(box.bottom)};
  }

  friend constexpr bool operator==(DisplayScale, DisplayScale) noexcept = default;

 private:
  int dpi_ = kDesignDpi;
};

// The program's pictures are drawn at 100, 125, 150 and 200 %; a scale uses
// the smallest set at least as large as itself, the largest beyond it. The
// set's percentage, and the resource name of a picture in it: the name
// itself at 100 %, else the name followed by the percentage ("BACKGLYPH150").
int ArtworkPercent(DisplayScale scale) noexcept;
std::string ArtworkName(const char* name, DisplayScale scale);

// The dots per inch of the display a window is on: the window's own where
// the system tells it (a system that scales each monitor), else the screen's.
int DpiOfWindow(HWND window);
// The screen's dots per inch, where a window not yet made will appear.
int ScreenDpi();

// The frame around a client area of this size, at this scale; the same as
// AdjustWindowRectEx's at 96 dots per inch.
RECT FrameForClient(SIZE client, DWORD style, DWORD exStyle, int dpi);

}  // namespace wizard
