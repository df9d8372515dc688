#include "wizard/tooltip.h"

#include "platform/error.h"

#include <commctrl.h>

namespace wizard {

Tooltip::Tooltip(HWND owner)
    : window_(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner,
                              nullptr, GetModuleHandleA(nullptr), nullptr)) {
  if (!window_) {
    platform::Raise("Failed to create window",
                    platform::Win32Failure("CreateWindowExA(" TOOLTIPS_CLASSA ")", GetLastError()));
  }
}

void Tooltip::Add(HWND window, RECT part, const char* text) {
  TTTOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  // The tooltip watches the window's mouse messages itself.
  tool.uFlags = TTF_SUBCLASS;
  tool.hwnd = window;
  tool.uId = static_cast<UINT_PTR>(count());
  tool.rect = part;
  tool.lpszText = const_cast<char*>(text);  // copied by the tooltip
  if (!SendMessageA(hwnd(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool))) {
    platform::Raise("Failed to create window",
                    platform::CodelessFailure("SendMessageA(TTM_ADDTOOLA)"));
  }
}

void Tooltip::SetPart(HWND window, int index, RECT part) {
  TTTOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.hwnd = window;
  tool.uId = static_cast<UINT_PTR>(index);
  tool.rect = part;
  SendMessageA(hwnd(), TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&tool));
}

int Tooltip::count() const {
  return static_cast<int>(SendMessageA(hwnd(), TTM_GETTOOLCOUNT, 0, 0));
}

std::string Tooltip::TextFor(HWND window) const {
  char text[256] = "";
  TTTOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.hwnd = window;
  tool.uId = 0;
  tool.lpszText = text;
  SendMessageA(hwnd(), TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
  return text;
}

}  // namespace wizard
