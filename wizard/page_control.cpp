#include "wizard/page_control.h"

#include "platform/error.h"

#include <commctrl.h>

namespace wizard {

PageControl::PageControl(HWND parent, RECT bounds, HFONT font, DisplayScale scale)
    : tabs_(CreateWindowExA(WS_EX_CONTROLPARENT, WC_TABCONTROLA, "",
                            WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS |
                                TCS_BUTTONS | TCS_FIXEDWIDTH | TCS_FOCUSNEVER,
                            bounds.left, bounds.top, bounds.right - bounds.left,
                            bounds.bottom - bounds.top, parent, nullptr, GetModuleHandleA(nullptr),
                            nullptr)) {
  if (!tabs_) {
    platform::Raise("Failed to create window",
                    platform::Win32Failure("CreateWindowExA(" WC_TABCONTROLA ")", GetLastError()));
  }
  SendMessageA(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SendMessageA(hwnd(), TCM_SETITEMSIZE, 0,
               MAKELPARAM(scale(kSelectorWidth), scale(kSelectorHeight)));
}

void PageControl::Rescale(RECT bounds, HFONT font, DisplayScale scale) {
  SendMessageA(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SendMessageA(hwnd(), TCM_SETITEMSIZE, 0,
               MAKELPARAM(scale(kSelectorWidth), scale(kSelectorHeight)));
  SetWindowPos(hwnd(), nullptr, bounds.left, bounds.top, bounds.right - bounds.left,
               bounds.bottom - bounds.top, SWP_NOZORDER | SWP_NOACTIVATE);
  PlacePages(/*all=*/true);
}

// Moving a window costs a round trip, so the pages move only when the row
// changed, unless all are asked for.
void PageControl::PlacePages(bool all) {
  const RECT area = PageBounds();
  const bool moved = all || !EqualRect(&area, &pageArea_);
  pageArea_ = area;
  for (const Panel* each : pages_) {
    if (!each->hwnd() || (!moved && each != pages_.back())) continue;
    SetWindowPos(each->hwnd(), nullptr, area.left, area.top, area.right - area.left,
                 area.bottom - area.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

RECT PageControl::PageBounds() const {
  RECT area;
  GetClientRect(hwnd(), &area);
  SendMessageA(hwnd(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  return area;
}

void PageControl::AddPage(Panel& page) {
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<char*>("");  // the selectors are blank
  const int index = pageCount();
  if (SendMessageA(hwnd(), TCM_INSERTITEMA, index, reinterpret_cast<LPARAM>(&item)) != index) {
    platform::Raise("Failed to create window",
                    platform::CodelessFailure("SendMessageA(TCM_INSERTITEMA)"));
  }
  pages_.push_back(&page);
  // The selector row exists only once it has selectors: lay the pages out below it now.
  PlacePages(/*all=*/false);
  if (page.hwnd()) ShowWindow(page.hwnd(), index == current() ? SW_SHOW : SW_HIDE);
}

int PageControl::current() const {
  return static_cast<int>(SendMessageA(hwnd(), TCM_GETCURSEL, 0, 0));
}

void PageControl::ShowPage(int index) {
  if (index < 0 || index >= pageCount()) return;
  if (!pages_[index]->hwnd() && makePages) makePages();
  const HWND focus = GetFocus();
  const bool hadFocus = focus && IsChild(hwnd(), focus);
  SendMessageA(hwnd(), TCM_SETCURSEL, index, 0);
  for (int i = 0; i < pageCount(); ++i) {
    if (pages_[i]->hwnd()) ShowWindow(pages_[i]->hwnd(), i == index ? SW_SHOW : SW_HIDE);
  }
  MoveFocusTo(*pages_[index], hadFocus);
}

// A focus left on a hidden page goes to the first control of the new page
// that takes it, or else to the window itself, never to this control.
void PageControl::MoveFocusTo(const Panel& page, bool hadFocus) {
  if (!hadFocus) return;
  const HWND first = GetNextDlgTabItem(page.hwnd(), nullptr, FALSE);
  SetFocus(first && IsChild(page.hwnd(), first) ? first : GetAncestor(hwnd(), GA_ROOT));
}

LRESULT PageControl::OnNotify(const NMHDR& notification) {
  if (notification.code == TCN_SELCHANGING) {
    bool allowChange = true;
    if (onChanging) onChanging(allowChange);
    return allowChange ? FALSE : TRUE;
  }
  if (notification.code == TCN_SELCHANGE) ShowPage(current());
  return 0;
}

}  // namespace wizard
