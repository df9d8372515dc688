// The box that shows an error no handler caught, then lets the program go on.
#pragma once

#include "platform/error.h"
#include "product/program_texts.h"

#include <windows.h>

#include <new>

namespace wizard {

using product::kApplicationTitle;
using product::kOutOfMemory;
using product::kUnexpectedError;

// MessageBoxA, MB_OK | MB_ICONERROR, captioned with the application title;
// the text gets a closing full stop by the program's rule.
void ShowErrorBox(HWND owner, const char* text) noexcept;

// Runs one event handler; an error that leaves it is shown and swallowed, so
// that no exception ever crosses a system callback frame. False when one did.
template <typename Handler>
bool RunGuarded(HWND owner, Handler&& handler) noexcept {
  try {
    handler();
    return true;
  } catch (const platform::SetupError& error) {
    ShowErrorBox(owner, error.what());
  } catch (const std::bad_alloc&) {
    ShowErrorBox(owner, kOutOfMemory);
  } catch (...) {
    ShowErrorBox(owner, kUnexpectedError);
  }
  return false;
}

}  // namespace wizard
