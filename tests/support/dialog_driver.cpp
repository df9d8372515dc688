#include "tests/support/dialog_driver.h"

#include <gtest/gtest.h>

namespace test {

namespace {

constexpr DWORD kWaitMs = 15000;
constexpr DWORD kPollMs = 20;

BOOL CALLBACK CollectChild(HWND window, LPARAM list) {
  char className[64] = "";
  char text[512] = "";
  GetClassNameA(window, className, sizeof className);
  GetWindowTextA(window, text, sizeof text);
  reinterpret_cast<std::vector<DialogChild>*>(list)->push_back(
      {window, className, GetDlgCtrlID(window), text, GetWindowLongA(window, GWL_STYLE)});
  return TRUE;
}

struct DialogSearch {
  const std::string& title;
  HWND found;
};

// Tests run in parallel processes of one Wine session: only a dialog of this
// process counts.
BOOL CALLBACK MatchDialog(HWND window, LPARAM searchParam) {
  auto& search = *reinterpret_cast<DialogSearch*>(searchParam);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char className[16] = "";
  char title[256] = "";
  GetClassNameA(window, className, sizeof className);
  GetWindowTextA(window, title, sizeof title);
  if (process != GetCurrentProcessId() || std::string(className) != "#32770" ||
      search.title != title || !IsWindowVisible(window)) {
    return TRUE;
  }
  search.found = window;
  return FALSE;
}

// The control inside the dialog (or the dialog itself) holding the input
// focus; null while the focus is elsewhere.
HWND FocusInside(HWND dialog) {
  const HWND focus = FocusOf(dialog);
  return focus && (focus == dialog || IsChild(dialog, focus)) ? focus : nullptr;
}

// The visible dialog, once its focus has settled: a dialog is shown before
// its first control is focused, and the task dialog passes the focus on
// while it sets itself up, so a key sent or a focus read in between would
// miss (seen on a busy machine). One that never settles is handed over when
// the wait ends, for the test's own checks to fail.
HWND WaitForVisibleDialog(const std::string& title) {
  HWND found = nullptr;
  HWND focusBefore = nullptr;
  int steadyPolls = 0;
  for (DWORD waited = 0; waited < kWaitMs; waited += kPollMs) {
    DialogSearch search{title, nullptr};
    EnumWindows(&MatchDialog, reinterpret_cast<LPARAM>(&search));
    found = search.found;
    const HWND focus = found ? FocusInside(found) : nullptr;
    steadyPolls = focus && focus == focusBefore ? steadyPolls + 1 : 0;
    if (steadyPolls == 2) return found;
    focusBefore = focus;
    Sleep(kPollMs);
  }
  return found;
}

bool WaitUntilGone(HWND dialog, DWORD timeoutMs) {
  for (DWORD waited = 0; waited < timeoutMs; waited += kPollMs) {
    if (!IsWindow(dialog)) return true;
    Sleep(kPollMs);
  }
  return !IsWindow(dialog);
}

}  // namespace

std::vector<DialogChild> ChildrenOf(HWND dialog) {
  std::vector<DialogChild> children;
  EnumChildWindows(dialog, &CollectChild, reinterpret_cast<LPARAM>(&children));
  return children;
}

HWND FindChild(HWND dialog, const std::string& className, const std::string& text) {
  for (const DialogChild& child : ChildrenOf(dialog)) {
    if (child.className == className && child.text == text) return child.window;
  }
  return nullptr;
}

HWND FocusOf(HWND dialog) {
  GUITHREADINFO info{sizeof info};
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

RECT WindowRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

void Press(HWND button) {
  PostMessageA(button, BM_CLICK, 0, 0);
}

DialogDriver::DialogDriver(std::string title, std::function<void(HWND)> answer)
    : title_(std::move(title)), answer_(std::move(answer)), thread_([this] { Run(); }) {}

DialogDriver::~DialogDriver() {
  if (thread_.joinable()) thread_.join();
}

bool DialogDriver::Finish() {
  if (thread_.joinable()) thread_.join();
  return found_;
}

void DialogDriver::Run() {
  HWND dialog = WaitForVisibleDialog(title_);
  if (!dialog) {
    ADD_FAILURE() << "no dialog titled \"" << title_ << "\" appeared";
    return;
  }
  found_ = true;
  answer_(dialog);
  if (!WaitUntilGone(dialog, 5000)) {
    ADD_FAILURE() << "dialog \"" << title_ << "\" still open after it was answered; closing it";
    PostMessageA(dialog, WM_CLOSE, 0, 0);
  }
}

}  // namespace test
