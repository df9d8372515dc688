#include "wizard/error_box.h"

#include "platform/error.h"

#include <string>

namespace wizard {

void ShowErrorBox(HWND owner, const std::exception& error) noexcept {
  try {
    const std::string text = platform::WithClosingFullStop(error.what());
    MessageBoxA(owner, text.c_str(), kApplicationTitle, MB_OK | MB_ICONERROR);
  } catch (...) {
    // Out of memory while formatting: show the bare text rather than nothing.
    MessageBoxA(owner, error.what(), kApplicationTitle, MB_OK | MB_ICONERROR);
  }
}

}  // namespace wizard
