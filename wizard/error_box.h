// The box that shows an error no handler caught, then lets the program go on.
#pragma once

#include <windows.h>

#include <exception>

namespace wizard {

inline constexpr const char* kApplicationTitle = "Installation program";

// MessageBoxA, MB_OK | MB_ICONERROR, captioned with the application title;
// the text gets a closing full stop by the program's rule.
void ShowErrorBox(HWND owner, const std::exception& error) noexcept;

// Runs one event handler; an error that leaves it is shown and swallowed, so
// that no exception ever crosses a system callback frame.
template <typename Handler>
void RunGuarded(HWND owner, Handler&& handler) noexcept {
  try {
    handler();
  } catch (const std::exception& error) {
    ShowErrorBox(owner, error);
  } catch (...) {
    ShowErrorBox(owner, std::exception());
  }
}

}  // namespace wizard
