// The program's start-up: COM, the application window and title, the wizard
// window, the message loop and the exit code.
#include "install/installer.h"
#include "platform/com.h"
#include "platform/security.h"
#include "platform/system_library.h"
#include "setup/unattended.h"
#include "wizard/application.h"
#include "wizard/error_box.h"
#include "wizard/setup_form.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Before anything loads a library: a DLL planted beside the program (it is
  // usually started from Downloads) must never be loaded in place of the system's.
  platform::HardenDllSearch();
  // An administrator's command line runs without the wizard.
  install::ScopeRequest scope = install::ScopeRequest::Default;
  if (const auto exitCode = setup::RunCommandLine(GetCommandLineA(), scope)) return *exitCode;
  // COM first: the folder browser and the shell links rely on this thread's
  // single-threaded apartment. Declared first, it is released last.
  platform::ComApartment com;
  // Once the window runs, its procedure shows every error; one raised while
  // the window is being built is shown here, and the program ends with 1.
  const bool ran = wizard::RunGuarded(nullptr, [scope] {
    // Refused with the error box before any window shows: /ALLUSERS
    // without administrator rights.
    const bool elevated = platform::IsElevated();
    install::CheckScopeRights(scope, elevated);
    wizard::Application application;
    wizard::SetupForm form(application, wizard::SystemMessageDialogs(), nullptr,
                           install::LocationsFor(install::ChooseScope(scope, elevated)));
    form.Show();
    application.Run(form.hwnd());
  });
  return ran ? 0 : 1;
}
