// Answers modal dialogs from a second thread of the test process, the way a
// user would: find the dialog by its title, read its controls, press one.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace test {

struct DialogChild {
  HWND window;
  std::string className;
  int id;
  std::string text;
  LONG style;
};

// Every child window of `dialog`, in creation order.
std::vector<DialogChild> ChildrenOf(HWND dialog);

// The child of the given class and text; null when there is none.
HWND FindChild(HWND dialog, const std::string& className, const std::string& text);

// The window with the input focus in the dialog's thread.
HWND FocusOf(HWND dialog);

// Screen rectangle of a window.
RECT WindowRect(HWND window);

// Presses a button as a click would (BM_CLICK).
void Press(HWND button);

// Starts a thread that waits for a visible dialog (class #32770) titled
// `title` and hands it to `answer`, which inspects it and answers it. If the
// dialog is still open after that, it is closed, so that a failed check never
// leaves the test waiting. Join with Finish() (or the destructor) after the
// modal call returned.
class DialogDriver {
 public:
  DialogDriver(std::string title, std::function<void(HWND)> answer);
  ~DialogDriver();
  DialogDriver(const DialogDriver&) = delete;
  DialogDriver& operator=(const DialogDriver&) = delete;

  // Joins the thread; true when the dialog appeared at all.
  bool Finish();

 private:
  void Run();

  std::string title_;
  std::function<void(HWND)> answer_;
  bool found_ = false;
  std::thread thread_;
};

}  // namespace test
