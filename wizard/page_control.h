// A container that shows one of its pages at a time under a row of blank
// button-style page selectors, 20 × 4 pixels each, the current one pressed.
// It never takes the keyboard focus.
#pragma once

#include "platform/unique_resource.h"
#include "wizard/panel.h"

#include <windows.h>

#include <functional>
#include <vector>

namespace wizard {

class PageControl {
 public:
  static constexpr int kSelectorWidth = 20;
  static constexpr int kSelectorHeight = 4;

  // The selectors' size is scaled by `scale`; `bounds` is the box on screen.
  PageControl(HWND parent, RECT bounds, HFONT font, DisplayScale scale = {});

  HWND hwnd() const noexcept { return tabs_.get(); }
  // Where the pages lie, below the selector row, in the control's coordinates.
  RECT PageBounds() const;

  // Adds a page (a child of this control) and its selector, in page order.
  void AddPage(Panel& page);
  int pageCount() const noexcept { return static_cast<int>(pages_.size()); }
  int current() const;
  const Panel& page(int index) const { return *pages_.at(index); }

  // Moves the control to another box, at another scale, in another font,
  // and lays its pages out again below the selector row.
  void Rescale(RECT bounds, HFONT font, DisplayScale scale);

  // Makes a page the current one; not subject to `onChanging`.
  void ShowPage(int index);

  // Asked to make the windows of the pages added without one, before the
  // first of them is shown.
  std::function<void()> makePages;

  // Asked before a change the user starts on the control itself (a click on
  // a selector); setting the argument to false refuses it.
  std::function<void(bool& allowChange)> onChanging;

  // The control's notifications, which reach its parent window.
  LRESULT OnNotify(const NMHDR& notification);

 private:
  void MoveFocusTo(const Panel& page, bool hadFocus);
  void PlacePages(bool all);

  platform::UniqueWindow tabs_;
  std::vector<Panel*> pages_;
  RECT pageArea_{};  // where the pages were last laid out
};

}  // namespace wizard
