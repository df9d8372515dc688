#include "wizard/message_dialog.h"

#include "platform/error.h"
#include "tests/support/dialog_driver.h"
#include "wizard/error_box.h"
#include "wizard/window.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using wizard::MessageAnswer;
using wizard::MessageButtons;
using wizard::MessageKind;

// What the driver saw of a dialog before answering it.
struct Seen {
  std::string text;                  // the static holding the message
  std::vector<std::string> buttons;  // button texts in order
  bool kindIcon = false;             // an icon static shows the kind's system icon
  std::string focused;               // text of the control with the focus
  std::string defaultButton;         // text of the button DM_GETDEFID names
  RECT box{};
  bool taskDialog = false;  // the common controls' task dialog runs it
};

bool IsCommonControlsCode(const void* address) {
  HMODULE module = nullptr;
  GetModuleHandleExA(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      static_cast<const char*>(address), &module);
  return module && module == GetModuleHandleA("comctl32.dll");
}

Seen Inspect(HWND dialog, HICON kindIcon) {
  Seen seen;
  for (const test::DialogChild& child : test::ChildrenOf(dialog)) {
    if (child.className == "Button") seen.buttons.push_back(child.text);
    if (child.className == "Static" && !child.text.empty()) seen.text = child.text;
    if (child.className == "Static" && (child.style & SS_TYPEMASK) == SS_ICON) {
      seen.kindIcon |=
          reinterpret_cast<HICON>(SendMessageA(child.window, STM_GETICON, 0, 0)) == kindIcon;
    }
  }
  char text[64] = "";
  GetWindowTextA(test::FocusOf(dialog), text, sizeof text);
  seen.focused = text;
  const LRESULT defaultId = SendMessageA(dialog, DM_GETDEFID, 0, 0);
  if (HIWORD(defaultId) == DC_HASDEFID) {
    GetWindowTextA(GetDlgItem(dialog, LOWORD(defaultId)), text, sizeof text);
    seen.defaultButton = text;
  }
  seen.box = test::WindowRect(dialog);
  seen.taskDialog =
      IsCommonControlsCode(reinterpret_cast<const void*>(GetWindowLongPtrW(dialog, DWLP_DLGPROC)));
  return seen;
}

// How the driver answers.
using Answer = std::function<void(HWND dialog)>;
Answer PressButton(const std::string& text) {
  return [text](HWND dialog) { test::Press(test::FindChild(dialog, "Button", text)); };
}
Answer Key(WPARAM key) {
  return [key](HWND dialog) {
    HWND focus = test::FocusOf(dialog);
    PostMessageA(focus, WM_KEYDOWN, key, 1);
    PostMessageA(focus, WM_KEYUP, key, 0xC0000001);
  };
}
// Known Wine difference: Wine's task dialog ignores Escape unless it has a
// Cancel button, where Windows cancels any task dialog that allows
// cancellation. There the dialog is closed instead, which Wine treats as
// Windows treats Escape.
Answer Escape() {
  return [](HWND dialog) {
    Key(VK_ESCAPE)(dialog);
    Sleep(500);
    if (IsWindow(dialog) && Inspect(dialog, nullptr).taskDialog) {
      std::printf("Wine: Escape ignored by the task dialog; closing it instead\n");
      PostMessageA(dialog, WM_CLOSE, 0, 0);
    }
  };
}
Answer CloseWindow() {
  return [](HWND dialog) { PostMessageA(dialog, WM_CLOSE, 0, 0); };
}

struct Branch {
  const char* name;
  wizard::MessageDialogs& (*dialogs)();
  bool taskDialog;
};

void PrintTo(const Branch& branch, std::ostream* out) {
  *out << branch.name;
}

class MessageDialog : public ::testing::TestWithParam<Branch> {
 protected:
  MessageAnswer ShowAndAnswer(MessageKind kind, const char* text, MessageButtons buttons,
                              const Answer& answer) {
    const char* title = kind == MessageKind::Warning ? "Warning" : "Error";
    const HICON icon = LoadIconA(nullptr, kind == MessageKind::Warning ? IDI_WARNING : IDI_ERROR);
    test::DialogDriver driver(title, [&](HWND dialog) {
      seen_ = Inspect(dialog, icon);
      answer(dialog);
    });
    const MessageAnswer result = GetParam().dialogs().Show(nullptr, kind, text, buttons);
    EXPECT_TRUE(driver.Finish());
    return result;
  }

  Seen seen_;
};

TEST_P(MessageDialog, AWarningWithOkShowsTheMessageAndAnswersOk) {
  EXPECT_EQ(ShowAndAnswer(MessageKind::Warning, wizard::kPleaseSpecifyFolder, MessageButtons::Ok,
                          PressButton("OK")),
            MessageAnswer::Ok);
  EXPECT_EQ(seen_.text, "Please specify destination folder.");
  EXPECT_EQ(seen_.buttons, std::vector<std::string>{"OK"});
  EXPECT_TRUE(seen_.kindIcon);
  EXPECT_EQ(seen_.focused, "OK");
  EXPECT_EQ(seen_.defaultButton, "OK");
  EXPECT_EQ(seen_.taskDialog, GetParam().taskDialog);
}

TEST_P(MessageDialog, YesAndTheDefaultButtonAnswerYes) {
  EXPECT_EQ(ShowAndAnswer(MessageKind::Warning, wizard::kReallyExit, MessageButtons::YesNo,
                          PressButton("&Yes")),
            MessageAnswer::Yes);
  EXPECT_EQ(seen_.text, "Installation not completed, really exit now?");
  EXPECT_EQ(seen_.buttons, (std::vector<std::string>{"&Yes", "&No"}));
  EXPECT_TRUE(seen_.kindIcon);
  EXPECT_EQ(seen_.focused, "&Yes");
  EXPECT_EQ(seen_.defaultButton, "&Yes");
  EXPECT_EQ(ShowAndAnswer(MessageKind::Warning, wizard::kReallyExit, MessageButtons::YesNo,
                          Key(VK_RETURN)),
            MessageAnswer::Yes);
}

TEST_P(MessageDialog, NoEscapeAndClosingAnswerSomethingElse) {
  for (const Answer& answer : {PressButton("&No"), Escape(), CloseWindow()}) {
    EXPECT_EQ(
        ShowAndAnswer(MessageKind::Warning, wizard::kReallyExit, MessageButtons::YesNo, answer),
        MessageAnswer::Other);
  }
}

TEST_P(MessageDialog, AnErrorShowsTheErrorIconAndEscapeAnswersSomethingElse) {
  EXPECT_EQ(
      ShowAndAnswer(MessageKind::Error, wizard::kErrorDecompressing, MessageButtons::Ok, Escape()),
      MessageAnswer::Other);
  EXPECT_EQ(seen_.text, "Error decompressing file.");
  EXPECT_EQ(seen_.buttons, std::vector<std::string>{"OK"});
  EXPECT_TRUE(seen_.kindIcon);
}

// Wine's default prefix has visual styles active, so the system's dialogs are
// task dialogs there; the fallback is forced through its own entry.
INSTANTIATE_TEST_SUITE_P(
    Branches, MessageDialog,
    ::testing::Values(Branch{"TaskDialog", &wizard::SystemMessageDialogs, true},
                      Branch{"Window", &wizard::FallbackMessageDialogs, false}),
    [](const auto& branch) { return std::string(branch.param.name); });

TEST(FallbackMessageDialog, IsCentredOnTheScreen) {
  Seen seen;
  test::DialogDriver driver("Warning", [&](HWND dialog) {
    seen = Inspect(dialog, nullptr);
    test::Press(test::FindChild(dialog, "Button", "&No"));
  });
  wizard::FallbackMessageDialogs().Show(nullptr, MessageKind::Warning, wizard::kReallyExit,
                                        MessageButtons::YesNo);
  ASSERT_TRUE(driver.Finish());
  const LONG width = seen.box.right - seen.box.left;
  const LONG height = seen.box.bottom - seen.box.top;
  EXPECT_GT(width, 150);
  EXPECT_EQ(seen.box.left, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
  EXPECT_EQ(seen.box.top, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
}

// A window whose handler raises, as the wizard's handlers may.
class RaisingWindow : public wizard::Window {
 public:
  static constexpr UINT kRaise = WM_APP;
  static constexpr UINT kPing = WM_APP + 1;
  // Raises one of the runtime's errors: memory (wParam 1) or another one (0).
  static constexpr UINT kRaiseForeign = WM_APP + 2;

  RaisingWindow() {
    RegisterClassOnce("QuorvelleRaisingWindow");
    Create("QuorvelleRaisingWindow", "raising", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 0, 200, 100,
           nullptr);
  }
  bool stateChanged = false;

 protected:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == kRaise) {
      stateChanged = true;  // changed before the error: stays changed
      platform::Raise(reinterpret_cast<const char*>(lParam));
    }
    if (message == kRaiseForeign && wParam) throw std::bad_alloc();
    if (message == kRaiseForeign) throw std::runtime_error("vector::_M_range_check");
    if (message == kPing) return 42;
    return DefaultProc(message, wParam, lParam);
  }
};

TEST(ErrorBox, AnErrorLeavingAHandlerIsShownAndTheWindowGoesOn) {
  RaisingWindow window;
  const HICON errorIcon = LoadIconA(nullptr, IDI_ERROR);
  struct Case {
    const char* raised;
    const char* shown;
  };
  // A full stop only after a character whose code is above that of ".".
  for (const Case& c :
       {Case{"Unable to write to C:\\Apps\\install.log",
             "Unable to write to C:\\Apps\\install.log."},
        Case{"Failed to set data for 'DisplayName'", "Failed to set data for 'DisplayName'"},
        Case{"Already closed.", "Already closed."}}) {
    Seen seen;
    test::DialogDriver driver("Installation program", [&](HWND dialog) {
      seen = Inspect(dialog, errorIcon);
      test::Press(test::FindChild(dialog, "Button", "OK"));
    });
    window.stateChanged = false;
    SendMessageA(window.hwnd(), RaisingWindow::kRaise, 0, reinterpret_cast<LPARAM>(c.raised));
    ASSERT_TRUE(driver.Finish());
    EXPECT_EQ(seen.text, c.shown);
    EXPECT_EQ(seen.buttons, std::vector<std::string>{"OK"});
    EXPECT_TRUE(seen.kindIcon);
    EXPECT_TRUE(window.stateChanged);
    ASSERT_TRUE(IsWindow(window.hwnd()));
    EXPECT_EQ(SendMessageA(window.hwnd(), RaisingWindow::kPing, 0, 0), 42);
  }
  // The runtime's own errors name types and functions; the user reads plain words.
  for (const auto& [outOfMemory, shown] :
       {std::pair{1, "Out of memory."}, std::pair{0, "Unexpected error."}}) {
    Seen seen;
    test::DialogDriver driver("Installation program", [&](HWND dialog) {
      seen = Inspect(dialog, errorIcon);
      test::Press(test::FindChild(dialog, "Button", "OK"));
    });
    SendMessageA(window.hwnd(), RaisingWindow::kRaiseForeign, outOfMemory, 0);
    ASSERT_TRUE(driver.Finish());
    EXPECT_EQ(seen.text, shown);
    EXPECT_TRUE(IsWindow(window.hwnd()));
  }
}

}  // namespace
