// The wizard window created for real, shown on the test display, and
// checked through what it holds and what it paints.
#include "wizard/setup_form.h"
#include "install/destination_folder.h"

#include "product/product_definition.h"
#include "wizard/backdrop.h"
#include "tests/wizard/form_capture.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <iostream>
#include <memory>
#include <vector>

namespace {

using wizard::SetupForm;

RECT Box(int left, int top, int width, int height) {
  return RECT{left, top, left + width, top + height};
}

// A window's rectangle in its parent's client coordinates.
RECT PlacedIn(HWND window) {
  RECT box;
  GetWindowRect(window, &box);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&box), 2);
  return box;
}

testing::AssertionResult SameRect(const RECT& actual, const RECT& expected) {
  if (EqualRect(&actual, &expected)) return testing::AssertionSuccess();
  return testing::AssertionFailure()
         << "got " << actual.left << "," << actual.top << " " << actual.right - actual.left << "x"
         << actual.bottom - actual.top << ", want " << expected.left << "," << expected.top << " "
         << expected.right - expected.left << "x" << expected.bottom - expected.top;
}

LPARAM At(const wizard::WindowlessControl& control, int dx = 5, int dy = 5) {
  return MAKELPARAM(control.bounds().left + dx, control.bounds().top + dy);
}

class SetupFormTest : public testing::Test {
 protected:
  void SetUp() override {
    form = std::make_unique<SetupForm>(application);
    form->Show();
    wizard::Application::ProcessMessages();
  }

  void SendToForm(UINT message, WPARAM wParam, LPARAM lParam) {
    SendMessageA(form->hwnd(), message, wParam, lParam);
  }
  // Wires a click counter to a button, as the window's handlers will be.
  int CountClicks(wizard::WindowlessControl& control) {
    control.onClick = [this] { ++clicks; };
    return clicks;
  }

  wizard::Application application;
  std::unique_ptr<SetupForm> form;
  int clicks = 0;
};

TEST(SetupFormCreationTest, TextsAreEmptyAndBackdropMissingUntilShown) {
  wizard::Application application;
  SetupForm form(application);
  EXPECT_EQ(form.ProductNameLabel.text(), "");
  EXPECT_EQ(form.ThanksLabel.text(), "");
  EXPECT_EQ(form.SpaceLabel.width(), wizard::TextExtent(form.fonts().window.get(), " ", true).cx);
  EXPECT_EQ(form.BakImage.bitmap(), nullptr);
  EXPECT_EQ(form.PageControl1.current(), 0);
  EXPECT_EQ(form.exitState(), wizard::ExitState::WizardRunning);
  EXPECT_FALSE(IsWindowVisible(form.hwnd()));
}

// A later page asked for before the window was ever shown finds its controls,
// and showing the window afterwards makes none of them again.
TEST(SetupFormCreationTest, ALaterPageShownFirstHasItsControlsOnce) {
  wizard::Application application;
  SetupForm form(application);
  form.ShowPage(2);
  const HWND desk = form.DeskIconCheck.hwnd();
  ASSERT_TRUE(IsChild(form.TabSheet3.hwnd(), desk));
  EXPECT_TRUE(wizard::IsChecked(form.DeskIconCheck));
  EXPECT_EQ(form.FolderEdit.text(), install::DefaultDestinationFolder());
  form.Show();
  EXPECT_EQ(form.DeskIconCheck.hwnd(), desk);
  int checkBoxes = 0;
  for (HWND child = GetWindow(form.TabSheet3.hwnd(), GW_CHILD); child;
       child = GetWindow(child, GW_HWNDNEXT)) {
    ++checkBoxes;
  }
  EXPECT_EQ(checkBoxes, 3);
}

// Windows paint through one kept off-screen surface: the wizard window,
// painted after a smaller window was, still shows all that it paints.
TEST(SetupFormCreationTest, PaintedAfterASmallerWindowItShowsWhole) {
  wizard::Application application;
  platform::UniqueWindow host(CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 40, 20,
                                              nullptr, nullptr, nullptr, nullptr));
  wizard::Panel small(wizard::Bevel::Raised);
  small.Make(host.get(), Box(0, 0, 40, 20), /*visible=*/true);
  UpdateWindow(small.hwnd());
  SetupForm form(application);
  form.Show();
  const test::Capture shown = test::CaptureClient(form.hwnd());
  const test::Capture painted = test::RenderSurface(form);
  // Above Panel1 only the window's own surface shows.
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < wizard::FormWindow::kClientWidth; ++x) {
      ASSERT_EQ(shown.at(x, y), painted.at(x, y)) << x << "," << y;
    }
  }
}

TEST_F(SetupFormTest, WindowHasFixedFrameNoSystemMenuAndStaysOnTop) {
  RECT client;
  GetClientRect(form->hwnd(), &client);
  EXPECT_TRUE(SameRect(client, Box(0, 0, 380, 226)));
  const LONG style = GetWindowLongA(form->hwnd(), GWL_STYLE);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_EQ(style & (WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
  EXPECT_TRUE(GetWindowLongA(form->hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  char title[64] = "";
  GetWindowTextA(form->hwnd(), title, sizeof title);
  EXPECT_STREQ(title, "Installation program");
  RECT frame;
  GetWindowRect(form->hwnd(), &frame);
  EXPECT_NEAR(frame.left + frame.right, GetSystemMetrics(SM_CXSCREEN), 1);
  EXPECT_NEAR(frame.top + frame.bottom, GetSystemMetrics(SM_CYSCREEN), 1);
}

TEST_F(SetupFormTest, FixedControlsLieWhereDesigned) {
  const SetupForm& f = *form;
  EXPECT_TRUE(SameRect(f.BakImage.bounds(), Box(0, 0, 380, 206)));
  EXPECT_TRUE(SameRect(f.IconImage.bounds(), Box(10, 80, 48, 48)));
  EXPECT_TRUE(SameRect(f.BackBt.bounds(), Box(70, 174, 95, 30)));
  EXPECT_TRUE(SameRect(f.ContinueBt.bounds(), Box(170, 174, 95, 30)));
  EXPECT_TRUE(SameRect(f.ExitBt.bounds(), Box(270, 174, 95, 30)));
  EXPECT_TRUE(SameRect(PlacedIn(f.BottomPanel.hwnd()), Box(0, 206, 380, 20)));
  EXPECT_TRUE(SameRect(PlacedIn(f.Panel1.hwnd()), Box(62, 32, 315, 140)));
  EXPECT_TRUE(SameRect(PlacedIn(f.PageControl1.hwnd()), Box(63, 33, 313, 138)));
  EXPECT_TRUE(SameRect(f.FullNameLabel.bounds(), Box(3, 39, 300, 13)));
  EXPECT_TRUE(SameRect(f.VersionLabel.bounds(), Box(3, 61, 300, 13)));
  EXPECT_TRUE(SameRect(f.CommentLabel.bounds(), Box(94, 82, 210, 14)));
  EXPECT_TRUE(SameRect(f.DeveloperLabel.bounds(), Box(3, 103, 300, 13)));
  EXPECT_TRUE(SameRect(PlacedIn(f.FolderEdit.hwnd()), Box(14, 51, 250, 21)));
  EXPECT_TRUE(SameRect(f.SelectFolderBt.bounds(), Box(269, 51, 23, 22)));
  EXPECT_TRUE(SameRect(PlacedIn(f.DeskIconCheck.hwnd()), Box(84, 24, 126, 17)));
  EXPECT_TRUE(SameRect(PlacedIn(f.StartIconCheck.hwnd()), Box(84, 54, 139, 17)));
  EXPECT_TRUE(SameRect(PlacedIn(f.RunProgramCheck.hwnd()), Box(84, 84, 108, 17)));
  EXPECT_TRUE(SameRect(f.Label8.bounds(), Box(3, 55, 300, 15)));
  EXPECT_TRUE(SameRect(f.FinalLabel.bounds(), Box(3, 55, 300, 15)));
}

// Auto-size labels keep their anchored edge and take their text's size,
// which depends on the face the system gave; the design's widths are for
// the original faces, so only a rough agreement is asked.
TEST_F(SetupFormTest, AutoSizeLabelsKeepTheirAnchoredEdge) {
  struct Case {
    const wizard::Label& label;
    int anchor;
    bool right;
    int designWidth;
  };
  const SetupForm& f = *form;
  for (const Case& c : {Case{f.ProductNameLabel, 8, false, 0}, Case{f.CopyLabel, 4, false, 191},
                        Case{f.Link, 375, true, 102}, Case{f.HeadLabel, 6, false, 136},
                        Case{f.Label6, 6, false, 113}, Case{f.SpaceLabel, 14, false, 0},
                        Case{f.ThanksLabel, 283, true, 0}}) {
    SCOPED_TRACE(c.label.text());
    EXPECT_EQ(c.right ? c.label.bounds().right : c.label.bounds().left, c.anchor);
    const SIZE text =
        wizard::TextExtent(c.label.style().font, c.label.text(), c.label.style().literal);
    EXPECT_EQ(c.label.width(), text.cx);
    EXPECT_EQ(c.label.height(), text.cy);
    if (c.designWidth) {
      EXPECT_NEAR(c.label.width(), c.designWidth, c.designWidth / 5);
    }
  }
  EXPECT_GT(f.ThanksLabel.width(), 50);  // grew to the left from x = 283
  EXPECT_EQ(f.ProductNameLabel.bounds().top, 8);
  EXPECT_EQ(f.Link.bounds().top, 3);
}

TEST_F(SetupFormTest, ShowFillsTheProductTexts) {
  const std::string fullName = product::FullName;
  EXPECT_EQ(form->ProductNameLabel.text(), fullName + " installation");
  EXPECT_EQ(form->FullNameLabel.text(), fullName);
  EXPECT_EQ(form->VersionLabel.text(), "version 5.0");
  EXPECT_EQ(form->DeveloperLabel.text(), "developed by Nerovane technologies");
  EXPECT_EQ(form->SpaceLabel.text(), "Space required for program installation: 1.66MB");
  EXPECT_EQ(form->ThanksLabel.text(), "Thanks for choosing Quorvelle");
  EXPECT_EQ(form->Link.text(), "www.nerovane.example");
  EXPECT_EQ(form->HeadLabel.text(), "This setup program will install");
  EXPECT_EQ(form->CommentLabel.text(), "for Windows XP and Vista");
  EXPECT_EQ(form->Label8.text(), "Press Continue to install the program");
  EXPECT_EQ(form->FinalLabel.text(), "Program installed successfully");
  EXPECT_EQ(form->ExitBt.caption(), "Exit setup");
  // The default folder: the Program Files folder followed by the product's name.
  EXPECT_EQ(form->FolderEdit.text(), install::DefaultDestinationFolder());
  EXPECT_EQ(form->FolderEdit.text().substr(form->FolderEdit.text().size() - 10), "\\Quorvelle");
  EXPECT_EQ(form->PageIndex(), 0);
  EXPECT_EQ(form->InstallDir(), "");
}

TEST_F(SetupFormTest, OnlyBackIsDisabledAndTheOptionsAreChecked) {
  EXPECT_FALSE(form->BackBt.enabled());
  EXPECT_TRUE(form->ContinueBt.enabled());
  EXPECT_TRUE(form->ExitBt.enabled());
  EXPECT_TRUE(form->SelectFolderBt.enabled());
  EXPECT_TRUE(form->SelectFolderBt.flat());
  EXPECT_FALSE(form->ContinueBt.flat());
  for (const auto* check : {&form->DeskIconCheck, &form->StartIconCheck, &form->RunProgramCheck}) {
    EXPECT_TRUE(wizard::IsChecked(*check));
    EXPECT_EQ(GetWindowLongA(check->hwnd(), GWL_STYLE) & BS_TYPEMASK, BS_AUTOCHECKBOX);
  }
}

struct FontCase {
  const char* name;
  HFONT font;
  const char* face;
  int height;
  bool bold, italic, underline;
};

TEST_F(SetupFormTest, FontsHaveTheDesignedFacesHeightsAndStyles) {
  const auto& fonts = form->fonts();
  for (const FontCase& c :
       {FontCase{"window", fonts.window.get(), "MS Sans Serif", 11, 0, 0, 0},
        {"ProductNameLabel", form->ProductNameLabel.style().font, "Arial", 15, 1, 1, 0},
        {"CopyLabel", form->CopyLabel.style().font, "Arial", 11, 0, 0, 0},
        {"Link", form->Link.style().font, "MS Sans Serif", 11, 0, 0, 1},
        {"FullNameLabel", form->FullNameLabel.style().font, "MS Sans Serif", 11, 1, 0, 0},
        {"CommentLabel", form->CommentLabel.style().font, "Arial", 11, 0, 1, 0},
        {"Label8", form->Label8.style().font, "Arial", 12, 1, 0, 0},
        {"FinalLabel", form->FinalLabel.style().font, "Arial", 12, 1, 0, 0}}) {
    SCOPED_TRACE(c.name);
    LOGFONTA font{};
    ASSERT_TRUE(GetObjectA(c.font, sizeof font, &font));
    EXPECT_STREQ(font.lfFaceName, c.face);
    EXPECT_EQ(font.lfHeight, -c.height);  // character height, without internal leading
    EXPECT_EQ(font.lfWeight, c.bold ? FW_BOLD : FW_NORMAL);
    EXPECT_EQ(font.lfItalic != 0, c.italic);
    EXPECT_EQ(font.lfUnderline != 0, c.underline);
    EXPECT_EQ(font.lfCharSet, DEFAULT_CHARSET);
    std::cout << c.name << ": asked for " << c.face << ", got " << wizard::FaceOf(c.font) << "\n";
  }
  EXPECT_EQ(SendMessageA(form->FolderEdit.hwnd(), WM_GETFONT, 0, 0),
            reinterpret_cast<LRESULT>(fonts.window.get()));
}

TEST_F(SetupFormTest, LabelColoursAndTextRules) {
  EXPECT_EQ(form->ProductNameLabel.color(), RGB(0, 64, 128));
  EXPECT_EQ(form->CopyLabel.color(), RGB(128, 128, 128));
  EXPECT_EQ(form->Link.color(), RGB(128, 128, 255));
  EXPECT_EQ(form->CommentLabel.color(), RGB(198, 0, 0));
  EXPECT_EQ(form->FullNameLabel.color(), GetSysColor(COLOR_WINDOWTEXT));
  // Product texts show "&" as it is, except in ThanksLabel.
  for (const auto* label : {&form->ProductNameLabel, &form->FullNameLabel, &form->VersionLabel,
                            &form->DeveloperLabel, &form->CopyLabel, &form->HeadLabel}) {
    EXPECT_TRUE(label->style().literal) << label->text();
  }
  EXPECT_FALSE(form->ThanksLabel.style().literal);
  EXPECT_EQ(form->ThanksLabel.style().alignment, wizard::Alignment::Right);
  EXPECT_EQ(form->FullNameLabel.style().alignment, wizard::Alignment::Center);
  EXPECT_TRUE(form->ProductNameLabel.style().transparent);
}

TEST_F(SetupFormTest, ContainersAndControlsStackInCreationOrder) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(form->hwnd(), GW_CHILD); child;
       child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  // Topmost first: the later-made container lies above the earlier.
  EXPECT_EQ(children, (std::vector<HWND>{form->PageControl1.hwnd(), form->Panel1.hwnd(),
                                         form->BottomPanel.hwnd()}));
  const std::vector<wizard::WindowlessControl*> painted{&form->BakImage,         &form->IconImage,
                                                        &form->ContinueBt,       &form->ExitBt,
                                                        &form->ProductNameLabel, &form->BackBt};
  EXPECT_EQ(form->controls(), painted);
  EXPECT_EQ(form->TabSheet2.controls().size(), 3u);
}

void PressKey(HWND root, UINT key) {
  MSG message{GetFocus(), WM_KEYDOWN, key, 0};
  EXPECT_TRUE(IsDialogMessageA(root, &message));
}

TEST_F(SetupFormTest, TabReachesOnlyTheFolderEditAndTheCheckBoxesBottomUp) {
  form->ShowPage(1);
  SetFocus(form->FolderEdit.hwnd());
  PressKey(form->hwnd(), VK_TAB);
  EXPECT_EQ(GetFocus(), form->FolderEdit.hwnd());

  form->ShowPage(2);
  SetFocus(form->RunProgramCheck.hwnd());
  PressKey(form->hwnd(), VK_TAB);
  EXPECT_EQ(GetFocus(), form->StartIconCheck.hwnd());
  PressKey(form->hwnd(), VK_TAB);
  EXPECT_EQ(GetFocus(), form->DeskIconCheck.hwnd());
  PressKey(form->hwnd(), VK_TAB);
  EXPECT_EQ(GetFocus(), form->RunProgramCheck.hwnd());
  EXPECT_FALSE(GetWindowLongA(form->PageControl1.hwnd(), GWL_STYLE) & WS_TABSTOP);
}

TEST_F(SetupFormTest, FocusOnAHiddenPageMovesToTheNewPage) {
  form->ShowPage(2);
  SetFocus(form->DeskIconCheck.hwnd());
  form->ShowPage(1);
  EXPECT_EQ(GetFocus(), form->FolderEdit.hwnd());
  form->ShowPage(0);
  EXPECT_EQ(GetFocus(), form->hwnd());
}

TEST_F(SetupFormTest, PageSelectorsAreFiveBlankButtonsThatNeverTakeTheFocus) {
  const HWND tabs = form->PageControl1.hwnd();
  EXPECT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 5);
  const LONG style = GetWindowLongA(tabs, GWL_STYLE);
  EXPECT_EQ(style & (TCS_BUTTONS | TCS_FIXEDWIDTH | TCS_FOCUSNEVER),
            TCS_BUTTONS | TCS_FIXEDWIDTH | TCS_FOCUSNEVER);
  for (int i = 0; i < 5; ++i) {
    RECT item{};
    SendMessageA(tabs, TCM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(item.right - item.left, 20) << "selector " << i;
    EXPECT_EQ(item.bottom - item.top, 4) << "selector " << i;
    char text[16] = "sentinel";
    TCITEMA tab{TCIF_TEXT};
    tab.pszText = text;
    tab.cchTextMax = sizeof text;
    SendMessageA(tabs, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(&tab));
    EXPECT_STREQ(tab.pszText, "");
  }
  const RECT pages = form->PageControl1.PageBounds();
  RECT last{};
  SendMessageA(tabs, TCM_GETITEMRECT, 4, reinterpret_cast<LPARAM>(&last));
  EXPECT_GE(pages.top, last.bottom);  // the pages lie below the selector row
  EXPECT_TRUE(SameRect(PlacedIn(form->TabSheet3.hwnd()), pages));

  // A refused click on a selector changes nothing and takes no focus.
  form->PageControl1.onChanging = [](bool& allowChange) { allowChange = false; };
  RECT third{};
  SendMessageA(tabs, TCM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&third));
  SendMessageA(tabs, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(third.left + 5, third.top + 2));
  SendMessageA(tabs, WM_LBUTTONUP, 0, MAKELPARAM(third.left + 5, third.top + 2));
  EXPECT_EQ(form->PageControl1.current(), 0);
  EXPECT_TRUE(IsWindowVisible(form->TabSheet1.hwnd()));
  EXPECT_NE(GetFocus(), tabs);
}

TEST_F(SetupFormTest, ShowPageShowsExactlyOnePage) {
  form->ShowPage(3);
  EXPECT_EQ(form->PageControl1.current(), 3);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(IsWindowVisible(form->PageControl1.page(i).hwnd()) != 0, i == 3) << "page " << i;
  }
}

TEST_F(SetupFormTest, SpeedButtonClicksOnReleaseInside) {
  form->ShowPage(1);
  SetFocus(form->FolderEdit.hwnd());
  CountClicks(form->ContinueBt);
  SendToForm(WM_LBUTTONDOWN, MK_LBUTTON, At(form->ContinueBt));
  EXPECT_TRUE(form->ContinueBt.pressed());
  EXPECT_EQ(GetCapture(), form->hwnd());
  EXPECT_EQ(clicks, 0);  // nothing happens on the press
  SendToForm(WM_LBUTTONUP, 0, At(form->ContinueBt, 80, 20));
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(form->ContinueBt.pressed());
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(GetFocus(), form->FolderEdit.hwnd());  // the button took no focus
}

TEST_F(SetupFormTest, ReleaseOutsideIsNoClickAndTheButtonRisesWhenLeft) {
  CountClicks(form->ExitBt);
  SendToForm(WM_LBUTTONDOWN, MK_LBUTTON, At(form->ExitBt));
  SendToForm(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(20, 20));
  EXPECT_FALSE(form->ExitBt.pressed());
  SendToForm(WM_MOUSEMOVE, MK_LBUTTON, At(form->ExitBt));
  EXPECT_TRUE(form->ExitBt.pressed());
  SendToForm(WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
  EXPECT_EQ(clicks, 0);
  // Releasing over another button does not click that one either.
  CountClicks(form->ContinueBt);
  SendToForm(WM_LBUTTONDOWN, MK_LBUTTON, At(form->ExitBt));
  SendToForm(WM_LBUTTONUP, 0, At(form->ContinueBt));
  EXPECT_EQ(clicks, 0);
}

TEST_F(SetupFormTest, DoubleClickIsTwoClicks) {
  CountClicks(form->ContinueBt);
  SendToForm(WM_LBUTTONDOWN, MK_LBUTTON, At(form->ContinueBt));
  SendToForm(WM_LBUTTONUP, 0, At(form->ContinueBt));
  SendToForm(WM_LBUTTONDBLCLK, MK_LBUTTON, At(form->ContinueBt));
  SendToForm(WM_LBUTTONUP, 0, At(form->ContinueBt));
  EXPECT_EQ(clicks, 2);
}

TEST_F(SetupFormTest, DisabledButtonTakesNoClick) {
  CountClicks(form->BackBt);
  SendToForm(WM_LBUTTONDOWN, MK_LBUTTON, At(form->BackBt));
  EXPECT_FALSE(form->BackBt.pressed());
  SendToForm(WM_LBUTTONUP, 0, At(form->BackBt));
  EXPECT_EQ(clicks, 0);
}

TEST_F(SetupFormTest, LostCaptureReleasesThePressedButtonWithoutAClick) {
  CountClicks(form->ContinueBt);
  SendToForm(WM_LBUTTONDOWN, MK_LBUTTON, At(form->ContinueBt));
  SetCapture(form->BottomPanel.hwnd());
  EXPECT_FALSE(form->ContinueBt.pressed());
  ReleaseCapture();
  SendToForm(WM_LBUTTONUP, 0, At(form->ContinueBt));
  EXPECT_EQ(clicks, 0);
}

TEST_F(SetupFormTest, LinkClicksAndFolderButtonRaisesWhenHovered) {
  form->Link.onClick = [this] { ++clicks; };
  SendMessageA(form->BottomPanel.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, At(form->Link));
  SendMessageA(form->BottomPanel.hwnd(), WM_LBUTTONUP, 0, At(form->Link));
  EXPECT_EQ(clicks, 1);

  form->ShowPage(1);
  const HWND page = form->TabSheet2.hwnd();
  SendMessageA(page, WM_MOUSEMOVE, 0, At(form->SelectFolderBt));
  EXPECT_TRUE(form->SelectFolderBt.hovered());
  SendMessageA(page, WM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(form->SelectFolderBt.hovered());
}

TEST_F(SetupFormTest, HandCursorOverWizardButtonsLinkFolderButtonAndCheckBoxes) {
  const HCURSOR hand = LoadCursorA(nullptr, IDC_HAND);
  ASSERT_EQ(wizard::CursorFor(wizard::CursorKind::Hand), hand);
  for (const wizard::WindowlessControl* control :
       std::initializer_list<const wizard::WindowlessControl*>{
           &form->BackBt, &form->ContinueBt, &form->ExitBt, &form->SelectFolderBt, &form->Link}) {
    EXPECT_EQ(control->cursor, wizard::CursorKind::Hand);
  }
  EXPECT_EQ(form->ProductNameLabel.cursor, wizard::CursorKind::Arrow);
  SetCursor(nullptr);
  EXPECT_TRUE(SendMessageA(form->TabSheet3.hwnd(), WM_SETCURSOR,
                           reinterpret_cast<WPARAM>(form->StartIconCheck.hwnd()),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
  EXPECT_EQ(GetCursor(), hand);
}

struct OwnedTooltips {
  HWND owner;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectOwnedTooltip(HWND window, LPARAM context) {
  auto& tooltips = *reinterpret_cast<OwnedTooltips*>(context);
  char className[64] = "";
  GetClassNameA(window, className, sizeof className);
  if (lstrcmpiA(className, TOOLTIPS_CLASSA) == 0 && GetWindow(window, GW_OWNER) == tooltips.owner) {
    tooltips.found.push_back(window);
  }
  return TRUE;
}

// The tooltip windows of this thread that the wizard window owns.
std::vector<HWND> TooltipsOwnedBy(HWND owner) {
  OwnedTooltips tooltips{owner, {}};
  EnumThreadWindows(GetCurrentThreadId(), CollectOwnedTooltip, reinterpret_cast<LPARAM>(&tooltips));
  return tooltips.found;
}

TEST_F(SetupFormTest, OnlyTheFolderButtonHasATooltip) {
  // Showing the window made it: nothing else asks for it before the mouse does.
  const std::vector<HWND> tooltips = TooltipsOwnedBy(form->hwnd());
  ASSERT_EQ(tooltips.size(), 1u);
  EXPECT_EQ(tooltips.front(), form->tooltip().hwnd());
  EXPECT_EQ(form->tooltip().count(), 1);
  EXPECT_EQ(form->tooltip().TextFor(form->TabSheet2.hwnd()), "Change folder");
}

TEST_F(SetupFormTest, BackdropStripShowsTheGradientWithItsLightestColumnsTransparent) {
  EXPECT_EQ(form->BakImage.transparentColor(), RGB(245, 245, 245));
  const test::Capture capture = test::RenderSurface(*form);
  const std::uint32_t face = test::Rgb(GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(capture.at(0, 190), face);
  EXPECT_EQ(capture.at(1, 190), face);
  for (int x = 2; x < 70; ++x) {
    const std::uint32_t grey = wizard::BackdropGrey(x, 380);
    EXPECT_EQ(capture.at(x, 190), grey << 16 | grey << 8 | grey) << "column " << x;
  }
}

TEST_F(SetupFormTest, Panel1DrawsASunkenFrameAroundThePages) {
  const test::Capture capture = test::RenderSurface(form->Panel1);
  ASSERT_EQ(capture.width, 315);
  const std::uint32_t shadow = test::Rgb(GetSysColor(COLOR_BTNSHADOW));
  const std::uint32_t light = test::Rgb(GetSysColor(COLOR_BTNHIGHLIGHT));
  ASSERT_NE(shadow, light);
  for (int x = 0; x < 314; ++x) EXPECT_EQ(capture.at(x, 0), shadow) << "top " << x;
  for (int y = 0; y < 139; ++y) EXPECT_EQ(capture.at(0, y), shadow) << "left " << y;
  for (int y = 0; y < 140; ++y) EXPECT_EQ(capture.at(314, y), light) << "right " << y;
  for (int x = 0; x < 315; ++x) EXPECT_EQ(capture.at(x, 139), light) << "bottom " << x;
  const test::Capture bottom = test::RenderSurface(form->BottomPanel);
  EXPECT_EQ(bottom.at(0, 0), light);  // raised
  EXPECT_EQ(bottom.at(379, 19), shadow);
}

// A glyph drawn centred with its caption, 4 pixels apart; magenta is not drawn.
TEST_F(SetupFormTest, GlyphIsCentredWithTheCaptionAndItsKeyColourIsNotDrawn) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, 48, -24, 1, 32, BI_RGB};
  void* bits = nullptr;
  platform::UniqueBitmap bitmap(
      CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  auto* pixels = static_cast<std::uint32_t*>(bits);
  for (int i = 0; i < 48 * 24; ++i)
    pixels[i] = (i % 48) < 24 && (i / 48) == 12 ? 0x00A000 : 0xFF00FF;
  pixels[23 * 48 + 30] = 0x808080;  // in the disabled image only
  GdiFlush();
  form->ContinueBt.SetGlyph(wizard::Glyph(bitmap.get(), 2));

  const int text = wizard::TextExtent(form->fonts().window.get(), "Continue", false).cx;
  const POINT origin = form->ContinueBt.GlyphOrigin();
  EXPECT_EQ(origin.x, 170 + (95 - (24 + 4 + text) + 1) / 2);
  EXPECT_EQ(origin.y, 174 + 3);

  test::Capture capture = test::RenderSurface(*form);
  EXPECT_EQ(capture.at(origin.x + 5, origin.y + 12), 0x00A000u);
  EXPECT_NE(capture.at(origin.x + 5, origin.y + 11), 0xFF00FFu);
  EXPECT_NE(capture.at(origin.x + 6, origin.y + 23), 0x808080u);

  form->ContinueBt.SetEnabled(false);
  capture = test::RenderSurface(*form);
  EXPECT_NE(capture.at(origin.x + 5, origin.y + 12), 0x00A000u);
  EXPECT_EQ(capture.at(origin.x + 6, origin.y + 23), 0x808080u);
}

// Every box of the designed layout, scaled: its edges multiplied by dpi/96.
RECT Scaled(const RECT& box, int dpi) {
  const wizard::DisplayScale scale(dpi);
  return scale(box);
}

// The layout at 125, 150, 175 and 200 %: every control's box is its designed
// one scaled, the pages lie inside Panel1's thicker bevel and below a scaled
// selector row, the fonts are the designed heights scaled, no fixed label
// cuts its text, and the pictures have the scaled sizes (at 175 % the 200 %
// ones shrunk).
TEST_F(SetupFormTest, LaidOutAtAnotherScaleEveryBoxFontAndPictureIsScaled) {
  const SetupForm& f = *form;
  for (const int dpi : {120, 144, 168, 192}) {
    SCOPED_TRACE(dpi);
    form->Rescale(wizard::DisplayScale(dpi));
    const wizard::DisplayScale s(dpi);
    for (const wizard::WindowlessControl* c :
         std::initializer_list<const wizard::WindowlessControl*>{
             &f.BakImage, &f.IconImage, &f.BackBt, &f.ContinueBt, &f.ExitBt, &f.FullNameLabel,
             &f.VersionLabel, &f.CommentLabel, &f.DeveloperLabel, &f.SelectFolderBt, &f.Label8,
             &f.FinalLabel, &f.InstallationProgress}) {
      EXPECT_TRUE(SameRect(c->bounds(), s(c->design())));
    }
    EXPECT_TRUE(SameRect(f.IconImage.bounds(), Scaled(Box(10, 80, 48, 48), dpi)));
    EXPECT_TRUE(SameRect(PlacedIn(f.Panel1.hwnd()), Scaled(Box(62, 32, 315, 140), dpi)));
    EXPECT_TRUE(SameRect(PlacedIn(f.BottomPanel.hwnd()), Scaled(Box(0, 206, 380, 20), dpi)));
    RECT inside = Scaled(Box(62, 32, 315, 140), dpi);
    InflateRect(&inside, -s(1), -s(1));
    EXPECT_TRUE(SameRect(PlacedIn(f.PageControl1.hwnd()), inside));
    EXPECT_TRUE(SameRect(PlacedIn(f.FolderEdit.hwnd()), Scaled(Box(14, 51, 250, 21), dpi)));
    EXPECT_TRUE(SameRect(PlacedIn(f.DeskIconCheck.hwnd()), Scaled(Box(84, 24, 126, 17), dpi)));
    RECT selector;
    ASSERT_TRUE(SendMessageA(f.PageControl1.hwnd(), TCM_GETITEMRECT, 0,
                             reinterpret_cast<LPARAM>(&selector)));
    EXPECT_EQ(selector.right - selector.left, s(20));
    EXPECT_GE(PlacedIn(f.TabSheet1.hwnd()).top, selector.bottom);
    EXPECT_EQ(f.Link.bounds().right, s(375));
    EXPECT_EQ(f.ThanksLabel.bounds().right, s(283));
    LOGFONTA font{};
    ASSERT_TRUE(GetObjectA(f.Label8.style().font, sizeof font, &font));
    EXPECT_EQ(font.lfHeight, -s(12));
    ASSERT_TRUE(GetObjectA(f.ContinueBt.font(), sizeof font, &font));
    EXPECT_EQ(font.lfHeight, -s(11));
    for (const wizard::Label* label : {&f.FullNameLabel, &f.VersionLabel, &f.CommentLabel,
                                       &f.DeveloperLabel, &f.Label8, &f.FinalLabel}) {
      SCOPED_TRACE(label->text());
      const SIZE text =
          wizard::TextExtent(label->style().font, label->text(), label->style().literal);
      EXPECT_LE(text.cx, label->width());
      EXPECT_LE(text.cy, label->height());
    }
    EXPECT_EQ(f.ContinueBt.glyph().height(), s(24));
    EXPECT_EQ(f.ContinueBt.glyph().imageWidth(), s(24));
    EXPECT_EQ(f.ExitBt.glyph().height(), s(24));
    EXPECT_EQ(f.SelectFolderBt.glyph().height(), s(16));
    ICONINFO icon{};
    ASSERT_TRUE(GetIconInfo(f.IconImage.icon(), &icon));
    BITMAP colour{};
    GetObjectA(icon.hbmColor, sizeof colour, &colour);
    DeleteObject(icon.hbmColor);
    DeleteObject(icon.hbmMask);
    EXPECT_EQ(colour.bmWidth, s(48));
    BITMAP backdrop{};
    GetObjectA(f.BakImage.bitmap(), sizeof backdrop, &backdrop);
    EXPECT_EQ(backdrop.bmWidth, s(380));
    EXPECT_EQ(backdrop.bmHeight, s(206));
  }
}

// Moved to a display of another scale, the window takes the rectangle the
// system suggests and lays itself out for it; moved back, it shows every
// pixel as it did before.
TEST_F(SetupFormTest, MovingToADisplayOfAnotherScaleAndBackLaysTheWindowOutAgain) {
  const test::Capture before = test::RenderSurface(*form);
  RECT original;
  GetWindowRect(form->hwnd(), &original);
  // What the system suggests: the frame as it is (Wine draws no frame of
  // another scale) around the client area the new scale gives.
  const int frameWidth = original.right - original.left - 380;
  const int frameHeight = original.bottom - original.top - 226;
  RECT suggested{40, 30, 40 + frameWidth + 760, 30 + frameHeight + 452};
  SendToForm(WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
  RECT frame, client;
  GetWindowRect(form->hwnd(), &frame);
  GetClientRect(form->hwnd(), &client);
  EXPECT_TRUE(SameRect(frame, suggested));
  EXPECT_TRUE(SameRect(client, Box(0, 0, 760, 452)));
  EXPECT_TRUE(SameRect(form->ExitBt.bounds(), Box(540, 348, 190, 60)));
  EXPECT_EQ(form->scale().dpi(), 192);
  EXPECT_EQ(form->TabSheet2.scale().dpi(), 192);
  EXPECT_EQ(SendMessageA(form->FolderEdit.hwnd(), WM_GETFONT, 0, 0),
            reinterpret_cast<LRESULT>(form->fonts().window.get()));
  EXPECT_EQ(test::RenderSurface(*form).width, 760);
  TTTOOLINFOA tool{};  // the folder button's tooltip follows it
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.hwnd = form->TabSheet2.hwnd();
  ASSERT_TRUE(
      SendMessageA(form->tooltip().hwnd(), TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool)));
  EXPECT_TRUE(SameRect(tool.rect, Box(538, 102, 46, 44)));

  SendToForm(WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&original));
  GetWindowRect(form->hwnd(), &frame);
  EXPECT_TRUE(SameRect(frame, original));
  const test::Capture after = test::RenderSurface(*form);
  ASSERT_EQ(after.width, before.width);
  ASSERT_EQ(after.height, before.height);
  int differing = 0;
  for (size_t i = 0; i < before.pixels.size(); ++i)
    differing += before.pixels[i] != after.pixels[i];
  EXPECT_EQ(differing, 0);
}

TEST(HostOfTest, DropsSchemeAndPath) {
  EXPECT_EQ(wizard::HostOf("https://www.nerovane.example"), "www.nerovane.example");
  EXPECT_EQ(wizard::HostOf("http://host.example/path/page"), "host.example");
  EXPECT_EQ(wizard::HostOf("bare.example"), "bare.example");
}

}  // namespace
