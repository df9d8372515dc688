// The wizard's behaviour, driven as a user drives it: mouse messages at the
// controls' coordinates and keys through the message loop, with the message
// dialogs answered on cue and the shell recording what it was asked.
#include "wizard/setup_form.h"

#include "platform/registry.h"
#include "platform/paths.h"
#include "product/product_definition.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/test_support.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using wizard::MessageAnswer;
using wizard::MessageButtons;
using wizard::MessageKind;
using wizard::SetupForm;

// Records every dialog asked for and answers from a queue ("Other", as
// Escape or closing would, once the queue is empty). `duringDialog` runs
// while a dialog is "open", to look at the window as it is then.
class ScriptedDialogs : public wizard::MessageDialogs {
 public:
  struct Asked {
    HWND owner;
    MessageKind kind;
    std::string text;
    MessageButtons buttons;
  };

  MessageAnswer Show(HWND owner, MessageKind kind, const std::string& text,
                     MessageButtons buttons) override {
    asked.push_back({owner, kind, text, buttons});
    if (duringDialog) duringDialog();
    if (answers.empty()) return MessageAnswer::Other;
    const MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }

  std::vector<Asked> asked;
  std::deque<MessageAnswer> answers;
  std::function<void()> duringDialog;
};

// The buttons and page of one row of the wizard's state table.
struct WizardState {
  int page;
  int exitState;
  bool continueEnabled;
  bool backEnabled;
  std::string exitCaption;
};

testing::AssertionResult InState(const SetupForm& form, const WizardState& want) {
  const WizardState got{form.PageControl1.current(), static_cast<int>(form.exitState()),
                        form.ContinueBt.enabled(), form.BackBt.enabled(), form.ExitBt.caption()};
  bool shownOnly = true;
  for (int i = 0; i < form.PageControl1.pageCount(); ++i) {
    shownOnly &= (IsWindowVisible(form.PageControl1.page(i).hwnd()) != 0) == (i == want.page);
  }
  if (got.page == want.page && got.exitState == want.exitState &&
      got.continueEnabled == want.continueEnabled && got.backEnabled == want.backEnabled &&
      got.exitCaption == want.exitCaption && shownOnly) {
    return testing::AssertionSuccess();
  }
  return testing::AssertionFailure()
         << "page " << got.page << (shownOnly ? "" : " (other pages shown)") << ", ExitState "
         << got.exitState << ", Continue " << got.continueEnabled << ", Back " << got.backEnabled
         << ", Exit \"" << got.exitCaption << "\"";
}

const WizardState kWelcome{0, 0, true, false, "Exit setup"};
const WizardState kDestination{1, 0, true, true, "Exit setup"};
const WizardState kOptions{2, 0, true, true, "Exit setup"};
const WizardState kReady{3, 0, true, true, "Exit setup"};
const WizardState kInstalling{3, 0, false, false, "Exit setup"};
const WizardState kInstalled{4, 1, false, false, "Close"};
const WizardState kFailed{3, 1, false, false, "Close"};
const WizardState kBrokenOff{3, 0, false, false, "Exit setup"};

LPARAM At(const wizard::WindowlessControl& control) {
  return MAKELPARAM(control.bounds().left + 5, control.bounds().top + 5);
}

// A drive letter with nothing mapped to it, so that nothing can be written there.
std::string UnmappedDrive() {
  const DWORD drives = GetLogicalDrives();
  for (char letter = 'Y'; letter >= 'J'; --letter) {
    if (!(drives & (1u << (letter - 'A')))) return std::string(1, letter) + ":";
  }
  return "";
}

class NavigationTest : public testing::Test {
 protected:
  NavigationTest(HMODULE payloads = nullptr, install::RegistryLocations registry = {})
      : form(std::make_unique<SetupForm>(application, dialogs, payloads, std::move(registry))) {
    form->Show();
    wizard::Application::ProcessMessages();
  }

  // A closed window posts the quit message; it is taken here, so that it
  // neither ends a later dialog nor stops a later message pump.
  ~NavigationTest() override { QuitPosted(); }

  static bool QuitPosted() {
    MSG message;
    return PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
  }

  void Click(wizard::WindowlessControl& control) {
    const HWND surface = &control == &form->Link ? form->BottomPanel.hwnd() : form->hwnd();
    SendMessageA(surface, WM_LBUTTONDOWN, MK_LBUTTON, At(control));
    SendMessageA(surface, WM_LBUTTONUP, 0, At(control));
  }

  // A key pressed and released on the focused control, through the message
  // loop's own handling; `modifier` is held meanwhile.
  void PressKey(UINT key, UINT modifier = 0) {
    BYTE keys[256];
    GetKeyboardState(keys);
    if (modifier) keys[modifier] = 0x80;
    SetKeyboardState(keys);
    const HWND target = GetFocus() ? GetFocus() : form->hwnd();
    const LPARAM altBit = modifier == VK_MENU ? 1 << 29 : 0;
    const UINT down = modifier == VK_MENU ? WM_SYSKEYDOWN : WM_KEYDOWN;
    const UINT up = modifier == VK_MENU ? WM_SYSKEYUP : WM_KEYUP;
    PostMessageA(target, down, key, 1 | altBit);
    PostMessageA(target, up, key, 0xC0000001 | altBit);
    wizard::Application::ProcessMessages();
    if (modifier) keys[modifier] = 0;
    SetKeyboardState(keys);
  }

  void GoTo(int page) {
    while (form->PageControl1.current() < page) Click(form->ContinueBt);
    ASSERT_EQ(form->PageControl1.current(), page);
  }

  // Every way of asking the window to close, each of which must be refused
  // while no installation was attempted.
  void AskToCloseEveryWay() {
    PressKey(VK_F4, VK_MENU);
    SendMessageA(form->hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    PostMessageA(form->hwnd(), WM_CLOSE, 0, 0);
    wizard::Application::ProcessMessages();
    EXPECT_FALSE(SendMessageA(form->hwnd(), WM_QUERYENDSESSION, 0, 0));
  }

  wizard::Application application;
  ScriptedDialogs dialogs;
  test::RecordingShell shell;
  std::unique_ptr<SetupForm> form;
};

TEST_F(NavigationTest, ContinueWalksToTheReadyPageAndBackWalksHome) {
  EXPECT_TRUE(InState(*form, kWelcome));
  for (const WizardState& next : {kDestination, kOptions, kReady}) {
    Click(form->ContinueBt);
    EXPECT_TRUE(InState(*form, next));
    EXPECT_EQ(form->PageIndex(), next.page);
  }
  for (const WizardState& previous : {kOptions, kDestination, kWelcome}) {
    Click(form->BackBt);
    EXPECT_TRUE(InState(*form, previous));
    EXPECT_EQ(form->PageIndex(), previous.page);
  }
  // Back is disabled again on the welcome page: a click there does nothing.
  Click(form->BackBt);
  EXPECT_TRUE(InState(*form, kWelcome));
  EXPECT_EQ(form->PageIndex(), 0);
  EXPECT_TRUE(dialogs.asked.empty());
  EXPECT_TRUE(shell.opened.empty());
}

TEST_F(NavigationTest, EmptyFolderTextWarnsAndStaysButOneBlankPasses) {
  GoTo(1);
  form->FolderEdit.SetText("");
  Click(form->ContinueBt);
  ASSERT_EQ(dialogs.asked.size(), 1u);
  EXPECT_EQ(dialogs.asked[0].owner, form->hwnd());
  EXPECT_EQ(dialogs.asked[0].kind, MessageKind::Warning);
  EXPECT_EQ(dialogs.asked[0].text, "Please specify destination folder.");
  EXPECT_EQ(dialogs.asked[0].buttons, MessageButtons::Ok);
  EXPECT_TRUE(InState(*form, kDestination));
  EXPECT_EQ(form->PageIndex(), 1);

  form->FolderEdit.SetText(" ");
  Click(form->ContinueBt);
  EXPECT_EQ(dialogs.asked.size(), 1u);
  EXPECT_TRUE(InState(*form, kOptions));
  EXPECT_EQ(form->FolderEdit.text(), " ");
}

TEST_F(NavigationTest, DoubleClickOnContinueMovesTwoPages) {
  SendMessageA(form->hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, At(form->ContinueBt));
  SendMessageA(form->hwnd(), WM_LBUTTONUP, 0, At(form->ContinueBt));
  SendMessageA(form->hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, At(form->ContinueBt));
  SendMessageA(form->hwnd(), WM_LBUTTONUP, 0, At(form->ContinueBt));
  EXPECT_TRUE(InState(*form, kOptions));
  EXPECT_EQ(form->PageIndex(), 2);
}

TEST_F(NavigationTest, PageSelectorClicksAreRefusedOnEveryPage) {
  const HWND tabs = form->PageControl1.hwnd();
  for (const WizardState& state : {kWelcome, kDestination, kOptions, kReady}) {
    GoTo(state.page);
    for (int selector = 0; selector < 5; ++selector) {
      SCOPED_TRACE("page " + std::to_string(state.page) + ", selector " + std::to_string(selector));
      RECT item{};
      SendMessageA(tabs, TCM_GETITEMRECT, selector, reinterpret_cast<LPARAM>(&item));
      const LPARAM point = MAKELPARAM(item.left + 5, item.top + 2);
      SendMessageA(tabs, WM_LBUTTONDOWN, MK_LBUTTON, point);
      SendMessageA(tabs, WM_LBUTTONUP, 0, point);
      EXPECT_TRUE(InState(*form, state));
      EXPECT_EQ(form->PageIndex(), state.page);
    }
  }
}

// Ctrl+Tab and Ctrl+PageDown are the keyboard's next-page combinations; the
// arrow keys are how the page control itself moves between its selectors.
// None of them may change the page, whether or not they reach the selectors
// (the selectors never take the focus, so here they reach nothing).
TEST_F(NavigationTest, KeyboardPageChangesAreRefused) {
  GoTo(1);
  SetFocus(form->FolderEdit.hwnd());
  PressKey(VK_TAB, VK_CONTROL);
  PressKey(VK_NEXT, VK_CONTROL);
  PressKey(VK_PRIOR, VK_CONTROL);
  EXPECT_TRUE(InState(*form, kDestination));
  SendMessageA(form->PageControl1.hwnd(), WM_KEYDOWN, VK_RIGHT, 1);
  SendMessageA(form->PageControl1.hwnd(), WM_KEYDOWN, VK_LEFT, 1);
  EXPECT_TRUE(InState(*form, kDestination));
  EXPECT_EQ(form->PageIndex(), 1);
}

TEST_F(NavigationTest, EnterAndEscapePressNothing) {
  for (const WizardState& state : {kWelcome, kDestination, kOptions, kReady}) {
    GoTo(state.page);
    for (const HWND focus : {form->hwnd(), form->FolderEdit.hwnd(), form->DeskIconCheck.hwnd()}) {
      if (IsWindowVisible(focus)) SetFocus(focus);
      PressKey(VK_RETURN);
      PressKey(VK_ESCAPE);
      EXPECT_TRUE(InState(*form, state)) << "page " << state.page;
    }
  }
  EXPECT_TRUE(IsWindow(form->hwnd()));
  EXPECT_TRUE(dialogs.asked.empty());
  EXPECT_FALSE(QuitPosted());
}

TEST_F(NavigationTest, CloseRequestsAreRefusedSilentlyBeforeInstalling) {
  for (const WizardState& state : {kWelcome, kDestination, kOptions, kReady}) {
    GoTo(state.page);
    AskToCloseEveryWay();
    EXPECT_TRUE(IsWindow(form->hwnd()));
    EXPECT_TRUE(InState(*form, state));
  }
  EXPECT_TRUE(dialogs.asked.empty());
  EXPECT_FALSE(QuitPosted());
}

TEST_F(NavigationTest, ExitThenNoChangesNothing) {
  GoTo(2);
  dialogs.answers = {MessageAnswer::Other};
  Click(form->ExitBt);
  ASSERT_EQ(dialogs.asked.size(), 1u);
  EXPECT_EQ(dialogs.asked[0].owner, form->hwnd());
  EXPECT_EQ(dialogs.asked[0].kind, MessageKind::Warning);
  EXPECT_EQ(dialogs.asked[0].text, "Installation not completed, really exit now?");
  EXPECT_EQ(dialogs.asked[0].buttons, MessageButtons::YesNo);
  EXPECT_TRUE(IsWindow(form->hwnd()));
  EXPECT_TRUE(InState(*form, kOptions));
  EXPECT_EQ(form->PageIndex(), 2);
  // Still protected: a later close request is refused as before.
  AskToCloseEveryWay();
  EXPECT_TRUE(IsWindow(form->hwnd()));
  EXPECT_EQ(dialogs.asked.size(), 1u);
  EXPECT_FALSE(QuitPosted());
}

TEST_F(NavigationTest, ExitThenYesClosesTheWindowAndEndsTheLoop) {
  GoTo(1);
  const HWND window = form->hwnd();
  dialogs.answers = {MessageAnswer::Yes};
  Click(form->ExitBt);
  EXPECT_EQ(dialogs.asked.size(), 1u);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(form->hwnd(), nullptr);
  EXPECT_EQ(form->exitState(), wizard::ExitState::ExitConfirmed);
  EXPECT_TRUE(QuitPosted());  // the message loop ends and the program with it
  EXPECT_FALSE(form->installer().InstallLog().has_value());
}

TEST_F(NavigationTest, LinkTurnsPurpleAndOpensThePublisherPageEachClick) {
  EXPECT_EQ(form->Link.color(), RGB(128, 128, 255));
  Click(form->Link);
  EXPECT_EQ(form->Link.color(), RGB(128, 0, 128));
  ASSERT_EQ(shell.opened.size(), 1u);
  EXPECT_EQ(shell.opened[0].owner, application.hiddenWindow());
  EXPECT_NE(shell.opened[0].owner, nullptr);
  EXPECT_EQ(shell.opened[0].file, product::PublisherUrl);
  EXPECT_EQ(shell.opened[0].folder, "");
  EXPECT_EQ(shell.opened[0].showCommand, SW_SHOWDEFAULT);
  GoTo(3);
  Click(form->Link);
  ASSERT_EQ(shell.opened.size(), 2u);
  EXPECT_EQ(shell.opened[1].file, product::PublisherUrl);
  EXPECT_EQ(form->Link.color(), RGB(128, 0, 128));
  EXPECT_TRUE(InState(*form, kReady));  // the link changes nothing else
  EXPECT_TRUE(dialogs.asked.empty());
}

// The scratch key each fixture holds, named before the fixture is made.
std::string ScratchPath() {
  return test::ScratchKey::PathOf("Navigation");
}

// The shell folders and the uninstall entry under a scratch key.
install::RegistryLocations ScratchLocations() {
  install::RegistryLocations locations;
  locations.shellFoldersRoot = HKEY_CURRENT_USER;
  locations.explorerKey = ScratchPath() + "\\Explorer";
  locations.uninstallRoot = HKEY_CURRENT_USER;
  locations.uninstallKeyPath = ScratchPath() + "\\Uninstall\\Quorvelle";
  return locations;
}

// A temporary folder holding the destination and the folders the links go to.
class InstallationTest : public NavigationTest {
 protected:
  explicit InstallationTest(platform::UniqueModule& payloads)
      : NavigationTest(payloads.get(), ScratchLocations()) {
    CreateDirectoryA((root_ / "Desktop").c_str(), nullptr);
    CreateDirectoryA((root_ / "Programs").c_str(), nullptr);
    scratch_.SetText("Explorer\\Shell Folders", "Desktop", root_ / "Desktop");
    scratch_.SetText("Explorer\\Shell Folders", "Programs", root_ / "Programs");
    destination_ = root_ / "Quorvelle";
  }
  // The log writer lets go of its file before the folder is removed.
  ~InstallationTest() override { form.reset(); }

  void ReachReadyWith(const std::string& folder) {
    GoTo(1);
    form->FolderEdit.SetText(folder);
    GoTo(3);
  }

  static bool UninstallKeyExists() {
    return static_cast<bool>(
        platform::OpenKey(HKEY_CURRENT_USER, ScratchLocations().uninstallKeyPath, KEY_READ));
  }

  test::ScratchKey scratch_{"Navigation"};
  test::TempFolder root_;
  std::string destination_;
};

// Loaded before any form that reads them is made, freed after all are gone.
platform::UniqueModule whole = test::LoadDataModule(test::HostPath(NAV_PAYLOADS_MODULE));
platform::UniqueModule cutShort = test::LoadDataModule(test::HostPath(NAV_BROKEN_PAYLOADS_MODULE));

class InstalledTest : public InstallationTest {
 protected:
  InstalledTest() : InstallationTest(whole) {}
};

TEST_F(InstalledTest, SuccessShowsTheFinishedPageAndCloseEndsAtOnce) {
  ASSERT_TRUE(whole) << "cannot load " NAV_PAYLOADS_MODULE;
  ReachReadyWith(destination_);
  Click(form->ContinueBt);
  EXPECT_TRUE(InState(*form, kInstalled));
  EXPECT_EQ(form->PageIndex(), 4);
  EXPECT_EQ(form->InstallDir(), destination_ + "\\");
  EXPECT_TRUE(dialogs.asked.empty());
  EXPECT_TRUE(platform::FileExists(destination_ + "\\help.txt"));
  EXPECT_TRUE(form->installer().InstallLog().has_value());
  EXPECT_TRUE(UninstallKeyExists());
  // The finished page has no working Continue or Back.
  Click(form->ContinueBt);
  Click(form->BackBt);
  EXPECT_TRUE(InState(*form, kInstalled));

  const HWND window = form->hwnd();
  Click(form->ExitBt);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_TRUE(dialogs.asked.empty());
  EXPECT_TRUE(QuitPosted());
  EXPECT_FALSE(form->installer().InstallLog().has_value());  // released as the window closed
}

TEST_F(InstalledTest, AfterInstallingCloseRequestsCloseAtOnce) {
  ReachReadyWith(destination_);
  Click(form->ContinueBt);
  ASSERT_TRUE(InState(*form, kInstalled));
  EXPECT_TRUE(SendMessageA(form->hwnd(), WM_QUERYENDSESSION, 0, 0));
  EXPECT_TRUE(IsWindow(form->hwnd()));  // a query only asks
  PressKey(VK_F4, VK_MENU);
  EXPECT_EQ(form->hwnd(), nullptr);
  EXPECT_TRUE(dialogs.asked.empty());
  EXPECT_TRUE(QuitPosted());
}

// The buttons are disabled before the waiting messages are processed, so a
// second click already queued starts no second installation.
TEST_F(InstalledTest, AQueuedSecondClickStartsNoSecondInstallation) {
  ReachReadyWith(destination_);
  for (int i = 0; i < 2; ++i) {
    PostMessageA(form->hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, At(form->ContinueBt));
    PostMessageA(form->hwnd(), WM_LBUTTONUP, 0, At(form->ContinueBt));
  }
  PostMessageA(form->hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, At(form->BackBt));
  PostMessageA(form->hwnd(), WM_LBUTTONUP, 0, At(form->BackBt));
  wizard::Application::ProcessMessages();
  EXPECT_TRUE(InState(*form, kInstalled));
  int helpOpened = 0;
  for (const auto& opened : shell.opened) helpOpened += opened.file == destination_ + "\\help.txt";
  EXPECT_EQ(helpOpened, 1);
}

class FailedTest : public InstallationTest {
 protected:
  FailedTest() : InstallationTest(cutShort) {}
};

TEST_F(FailedTest, AStreamCutShortLeavesTheReadyPageWithCloseOnly) {
  ASSERT_TRUE(cutShort) << "cannot load " NAV_BROKEN_PAYLOADS_MODULE;
  ReachReadyWith(destination_);
  bool installingWhileAsked = false;
  std::string labelWhileAsked;
  dialogs.duringDialog = [&] {
    installingWhileAsked = InState(*form, kInstalling);
    labelWhileAsked = form->Label8.text();
  };
  Click(form->ContinueBt);
  ASSERT_EQ(dialogs.asked.size(), 1u);
  EXPECT_EQ(dialogs.asked[0].kind, MessageKind::Error);
  EXPECT_EQ(dialogs.asked[0].text, "Error decompressing file.");
  EXPECT_EQ(dialogs.asked[0].buttons, MessageButtons::Ok);
  EXPECT_TRUE(installingWhileAsked);
  EXPECT_EQ(labelWhileAsked, "please wait...");
  EXPECT_TRUE(InState(*form, kFailed));
  EXPECT_EQ(form->PageIndex(), 3);
  EXPECT_TRUE(platform::FileExists(destination_ + "\\Quorvelle.exe"));  // nothing rolled back
  EXPECT_FALSE(platform::FileExists(destination_ + "\\Uninstall.exe"));
  EXPECT_FALSE(UninstallKeyExists());
  Click(form->ContinueBt);
  Click(form->BackBt);
  EXPECT_TRUE(InState(*form, kFailed));

  dialogs.duringDialog = nullptr;
  const HWND window = form->hwnd();
  PostMessageA(window, WM_CLOSE, 0, 0);
  wizard::Application::ProcessMessages();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(dialogs.asked.size(), 1u);  // no question
  EXPECT_TRUE(QuitPosted());
}

TEST_F(FailedTest, CloseButtonEndsWithoutAQuestion) {
  ReachReadyWith(destination_);
  Click(form->ContinueBt);
  ASSERT_TRUE(InState(*form, kFailed));
  Click(form->ExitBt);
  EXPECT_EQ(form->hwnd(), nullptr);
  EXPECT_EQ(dialogs.asked.size(), 1u);
  EXPECT_TRUE(QuitPosted());
}

// The install log cannot be written on a drive that does not exist: the
// error leaves the click handler, the error box shows it, and the wizard
// stays on the ready page with Exit still asking first.
class BrokenOffTest : public InstalledTest {};

TEST_F(BrokenOffTest, AnErrorDuringTheInstallationLeavesExitAsking) {
  const std::string drive = UnmappedDrive();
  ASSERT_FALSE(drive.empty());
  ReachReadyWith(drive + "\\x");
  std::string shown;
  test::DialogDriver driver("Installation program", [&](HWND box) {
    for (const test::DialogChild& child : test::ChildrenOf(box)) {
      if (child.className == "Static" && !child.text.empty()) shown = child.text;
    }
    test::Press(test::FindChild(box, "Button", "OK"));
  });
  Click(form->ContinueBt);
  ASSERT_TRUE(driver.Finish());
  EXPECT_EQ(shown.rfind("Unable to write to ", 0), 0u) << shown;
  EXPECT_EQ(shown.back(), '.');
  EXPECT_TRUE(InState(*form, kBrokenOff));
  EXPECT_EQ(form->Label8.text(), "please wait...");
  EXPECT_EQ(form->PageIndex(), 3);
  EXPECT_TRUE(dialogs.asked.empty());

  AskToCloseEveryWay();
  EXPECT_TRUE(IsWindow(form->hwnd()));
  dialogs.answers = {MessageAnswer::Other, MessageAnswer::Yes};
  Click(form->ExitBt);
  EXPECT_TRUE(InState(*form, kBrokenOff));
  Click(form->ExitBt);
  ASSERT_EQ(dialogs.asked.size(), 2u);
  EXPECT_EQ(dialogs.asked[1].text, "Installation not completed, really exit now?");
  EXPECT_EQ(form->hwnd(), nullptr);
  EXPECT_TRUE(QuitPosted());
  EXPECT_FALSE(form->installer().InstallLog().has_value());
}

}  // namespace
