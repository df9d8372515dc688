#include "wizard/child_control.h"

#include "platform/error.h"

namespace wizard {

ChildControl::ChildControl(const char* className, const char* text, DWORD style, DWORD exStyle,
                           RECT bounds, HWND parent, HFONT font)
    : window_(CreateWindowExA(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, bounds.left,
                              bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                              parent, nullptr, GetModuleHandleA(nullptr), nullptr)) {
  if (!window_) {
    const DWORD error = GetLastError();
    platform::Raise("Failed to create window",
                    platform::Win32Failure("CreateWindowExA", error, className));
  }
  SendMessageA(window_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

std::string ChildControl::text() const {
  std::string text(static_cast<size_t>(GetWindowTextLengthA(hwnd())) + 1, '\0');
  text.resize(
      static_cast<size_t>(GetWindowTextA(hwnd(), text.data(), static_cast<int>(text.size()))));
  return text;
}

void ChildControl::SetText(const std::string& text) {
  SetWindowTextA(hwnd(), text.c_str());
}

ChildControl MakeEditBox(RECT bounds, HWND parent, HFONT font) {
  ChildControl edit("EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, bounds, parent,
                    font);
  SendMessageA(edit.hwnd(), EM_SETLIMITTEXT, 0, 0);  // 0: as long as the system allows
  return edit;
}

ChildControl MakeCheckBox(const char* caption, RECT bounds, HWND parent, HFONT font) {
  ChildControl box("BUTTON", caption, WS_TABSTOP | BS_AUTOCHECKBOX, 0, bounds, parent, font);
  SendMessageA(box.hwnd(), BM_SETCHECK, BST_CHECKED, 0);
  return box;
}

bool IsChecked(const ChildControl& checkBox) {
  return SendMessageA(checkBox.hwnd(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

}  // namespace wizard
