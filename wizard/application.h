// The application's own hidden top-level window and the message loop. The
// hidden window has an empty text and no taskbar button; the wizard window
// is a top-level window of its own and carries the button.
#pragma once

#include "platform/unique_resource.h"

#include <windows.h>

namespace wizard {

// Not copyable: it owns its hidden window.
class Application {
 public:
  // Owner of the documents the link opens and of the folder browser. Made
  // when first asked for or when the message loop starts: no one sees it, so
  // the first sight of the wizard does not wait for it.
  HWND hiddenWindow();

  // Runs the message loop until the main window posts the quit message when
  // it is destroyed. Keyboard navigation between its controls is done here.
  void Run(HWND mainWindow);

  // Processes the messages that are waiting, then returns.
  static void ProcessMessages();

 private:
  platform::UniqueWindow hidden_;
};

}  // namespace wizard
