// page_renderer FOLDER: shows the wizard window and writes what each of its
// five pages looks like to FOLDER\page-N.bmp (N = 0..4), switching pages
// through SetupForm::ShowPage. Used by scripts/render-pages.sh.
#include "platform/com.h"
#include "tests/wizard/form_capture.h"
#include "wizard/application.h"
#include "wizard/setup_form.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: page_renderer FOLDER\n");
    return 2;
  }
  platform::ComApartment com;
  wizard::Application application;
  wizard::SetupForm form(application);
  form.Show();
  for (int page = 0; page < 5; ++page) {
    form.ShowPage(page);
    wizard::Application::ProcessMessages();
    const test::Capture capture = test::CaptureClient(form.hwnd());
    test::WriteBitmapFile(capture,
                          std::string(argv[1]) + "\\page-" + std::to_string(page) + ".bmp");
  }
  return 0;
}
