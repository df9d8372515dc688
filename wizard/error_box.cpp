#include "wizard/error_box.h"

#include <string>

namespace wizard {

void ShowErrorBox(HWND owner, const char* text) noexcept {
  try {
    const std::string shown = platform::WithClosingFullStop(text);
    MessageBoxA(owner, shown.c_str(), kApplicationTitle, MB_OK | MB_ICONERROR);
  } catch (...) {
    // Out of memory while formatting: show the bare text rather than nothing.
    MessageBoxA(owner, text, kApplicationTitle, MB_OK | MB_ICONERROR);
  }
}

}  // namespace wizard
