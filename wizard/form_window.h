// The wizard window's frame: a top-level surface with a client area of
// 380 × 226 at 96 dots per inch, scaled with the display, a single fixed frame with a title bar but
// no system menu and so no title-bar buttons, staying on top, in the face colour, carrying the
// program's taskbar button and showing the application icon there.
#pragma once

#include "wizard/surface.h"

namespace wizard {

class FormWindow : public Surface {
 public:
  static constexpr int kClientWidth = 380;  // at 96 dots per inch
  static constexpr int kClientHeight = 226;

  // Shown centred on the screen, where it was made; painted before this returns.
  void Show();

 protected:
  // Laid out at the scale of the display it is made on.
  FormWindow();
  ~FormWindow() override = default;
  // The window's size, frame included, for the client area at a scale.
  static SIZE FrameSize(DisplayScale scale);

  // Runs at the end of every Show, once the window is on screen and painted:
  // the place for what the first page does not show.
  virtual void OnShown() {}
};

// The application icon, "MAINICON", at the system's large-icon size; null
// when the program carries none.
HICON ApplicationIcon();

}  // namespace wizard
