// Tooltips for regions of a window: the text shows when the mouse rests over
// the region.
#pragma once

#include "platform/unique_resource.h"

#include <windows.h>

#include <string>

namespace wizard {

class Tooltip {
 public:
  explicit Tooltip(HWND owner);
  HWND hwnd() const noexcept { return window_.get(); }

  // A part of `window`'s client area, in its coordinates.
  void Add(HWND window, RECT part, const char* text);
  // Moves the `index`-th part registered (from 0) to another part of `window`.
  void SetPart(HWND window, int index, RECT part);
  int count() const;
  // The text of the first part registered for `window`.
  std::string TextFor(HWND window) const;

 private:
  platform::UniqueWindow window_;
};

}  // namespace wizard
