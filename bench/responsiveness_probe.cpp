// responsiveness_probe: walks the running wizard to its ready page, starts
// the installation and watches it from outside, as the system watches a
// program to call it "Not Responding": a message is sent to the window
// every few milliseconds and the time until it is answered is the time the
// window went without reading its messages. Prints the installation's time
// (Continue on the ready page to the finished page), the longest such
// stretch and how many were measured.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>

namespace {

constexpr POINT kContinue{170 + 47, 174 + 15};  // the centre of ContinueBt
constexpr int kFinishedPage = 4;

double Now() {
  LARGE_INTEGER frequency, counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The wizard's page, or -1 once it is gone; the time the answer took is
// added to `waited`.
int Page(HWND tabs, double& waited) {
  DWORD_PTR page = 0;
  const double start = Now();
  const bool answered =
      SendMessageTimeoutA(tabs, TCM_GETCURSEL, 0, 0, SMTO_NORMAL, 60000, &page) != 0;
  waited = Now() - start;
  return answered ? static_cast<int>(page) : -1;
}

void Click(HWND window) {
  const LPARAM at = MAKELPARAM(kContinue.x, kContinue.y);
  PostMessageA(window, WM_MOUSEMOVE, 0, at);
  PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(window, WM_LBUTTONUP, 0, at);
}

// Continue until the page is `page`; false when the wizard does not get there.
bool ContinueTo(HWND window, HWND tabs, int page) {
  Click(window);
  for (int tries = 0; tries < 500; ++tries) {
    double waited = 0;
    if (Page(tabs, waited) == page) return true;
    Sleep(10);
  }
  return false;
}

HWND WaitForWizard() {
  for (int tries = 0; tries < 600; ++tries) {
    if (HWND window = FindWindowA("TSetupForm", nullptr); window && IsWindowVisible(window)) {
      return window;
    }
    Sleep(50);
  }
  return nullptr;
}

}  // namespace

int main() {
  const HWND window = WaitForWizard();
  const HWND tabs = window ? FindWindowExA(window, nullptr, WC_TABCONTROLA, nullptr) : nullptr;
  if (!tabs) {
    std::fprintf(stderr, "no wizard window\n");
    return 1;
  }
  for (int page = 1; page <= 3; ++page) {
    if (!ContinueTo(window, tabs, page)) return std::fprintf(stderr, "no page %d\n", page), 1;
  }
  const double start = Now();
  Click(window);
  double longest = 0;
  int probes = 0;
  for (int page = 3; page != kFinishedPage;) {
    double waited = 0;
    page = Page(tabs, waited);
    if (page < 0) return std::fprintf(stderr, "the wizard went away\n"), 1;
    if (waited > longest) longest = waited;
    ++probes;
    Sleep(2);
  }
  std::printf(
      "installed in %.0f ms; longest stretch without reading messages %.0f ms (%d probes)\n",
      Now() - start, longest, probes);
  return 0;
}
