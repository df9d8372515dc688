// The wizard window: the program's only window.
#pragma once

#include "wizard/application.h"
#include "wizard/window.h"

namespace wizard {

class SetupForm : public Window {
 public:
  static constexpr int kClientWidth = 380;
  static constexpr int kClientHeight = 226;

  explicit SetupForm(Application& application);

  // Shows the window, centred on the screen.
  void Show();

 protected:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  Application& application_;
};

}  // namespace wizard
