// A standard control of the system (edit box, check box) as a child window,
// in the window font.
#pragma once

#include "platform/unique_resource.h"

#include <windows.h>

#include <string>

namespace wizard {

class ChildControl {
 public:
  ChildControl(const char* className, const char* text, DWORD style, DWORD exStyle, RECT bounds,
               HWND parent, HFONT font);
  // No window yet: one made later is moved in.
  ChildControl() = default;

  HWND hwnd() const noexcept { return window_.get(); }
  std::string text() const;
  void SetText(const std::string& text);

 private:
  platform::UniqueWindow window_;
};

// Edit box: single line, sunken border, no length limit; it selects all its
// text when the keyboard gives it the focus (the dialog manager does that).
ChildControl MakeEditBox(RECT bounds, HWND parent, HFONT font);

// Two-state check box, box on the left, checked.
ChildControl MakeCheckBox(const char* caption, RECT bounds, HWND parent, HFONT font);

bool IsChecked(const ChildControl& checkBox);

}  // namespace wizard
