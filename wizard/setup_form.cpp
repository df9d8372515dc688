#include "wizard/setup_form.h"

#include "product/product_definition.h"
#include "wizard/backdrop.h"
#include "install/destination_folder.h"
#include "wizard/icon_file.h"
#include "wizard/packed_artwork.h"

namespace wizard {
namespace {

constexpr RECT Box(int left, int top, int width, int height) {
  return RECT{left, top, left + width, top + height};
}

constexpr COLORREF kWindowText = CLR_INVALID;
constexpr int kIconSize = 48;
// The glyphs' images at 96 dots per inch.
constexpr int kButtonGlyphSize = 24;
constexpr int kFolderGlyphSize = 16;

// The designed boxes of the child windows, at 96 dots per inch.
constexpr RECT kPanel1Box = Box(62, 32, 315, 140);
constexpr RECT kBottomPanelBox = Box(0, 206, 380, 20);
constexpr RECT kFolderEditBox = Box(14, 51, 250, 21);
constexpr RECT kDeskIconBox = Box(84, 24, 126, 17);
constexpr RECT kStartIconBox = Box(84, 54, 139, 17);
constexpr RECT kRunProgramBox = Box(84, 84, 108, 17);

void Place(HWND window, const RECT& box) {
  if (!window) return;
  SetWindowPos(window, nullptr, box.left, box.top, box.right - box.left, box.bottom - box.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

std::string HostOf(const std::string& url) {
  const size_t scheme = url.find("://");
  const size_t start = scheme == std::string::npos ? 0 : scheme + 3;
  return url.substr(start, url.find('/', start) - start);
}

// Controls are made in the order they are declared, but the panels' windows
// are made after PageControl1's (MakeContainers), the first page's once its
// selectors exist and the later pages' wait for MakeLaterPages; registration
// with their parents below sets the order they are painted and stacked in.
SetupForm::SetupForm(Application& application, MessageDialogs& dialogs, HMODULE payloadModule,
                     install::RegistryLocations registry)
    : application_(application),
      dialogs_(dialogs),
      installer_(payloadModule, std::move(registry)),
      fonts_(scale()),
      IconImage(*this, Box(10, 80, kIconSize, kIconSize), true),
      ContinueBt(*this, Box(170, 174, 95, 30), fonts_.window.get(), "Continue"),
      ExitBt(*this, Box(270, 174, 95, 30), fonts_.window.get(), "Exit setup"),
      ProductNameLabel(
          *this, Box(8, 8, 4, 17),
          {fonts_.productName.get(), RGB(0, 64, 128), Alignment::Left, true, true, true}),
      BottomPanel(Bevel::Raised, scale()),
      CopyLabel(BottomPanel, Box(4, 3, 191, 14),
                {fonts_.copyright.get(), RGB(128, 128, 128), Alignment::Left, true, true},
                kCopyrightNotice),
      Link(BottomPanel, Box(375 - 102, 3, 102, 13),
           {fonts_.link.get(), RGB(128, 128, 255), Alignment::Right, true},
           HostOf(product::PublisherUrl)),
      BakImage(*this, Box(0, 0, 380, 206), true),
      Panel1(Bevel::Lowered, scale()),
      PageControl1(hwnd(), PageControlBox(), fonts_.window.get(), scale()),
      TabSheet1(Bevel::None, scale()),
      TabSheet2(Bevel::None, scale()),
      TabSheet3(Bevel::None, scale()),
      FullNameLabel(TabSheet1, Box(3, 39, 300, 13),
                    {fonts_.fullName.get(), kWindowText, Alignment::Center, false, true}),
      HeadLabel(TabSheet1, Box(6, 10, 136, 13),
                {fonts_.window.get(), kWindowText, Alignment::Left, true, true},
                "This setup program will install"),
      DeveloperLabel(TabSheet1, Box(3, 103, 300, 13),
                     {fonts_.window.get(), kWindowText, Alignment::Center, false, true}),
      Label6(TabSheet2, Box(6, 10, 113, 13),
             {fonts_.window.get(), kWindowText, Alignment::Left, true},
             "Select destination folder"),
      SelectFolderBt(TabSheet2, Box(269, 51, 23, 22), fonts_.window.get(), "", true),
      SpaceLabel(TabSheet2, Box(14, 94, 3, 13),
                 {fonts_.window.get(), kWindowText, Alignment::Left, true}),
      TabSheet5(Bevel::None, scale()),
      Label8(TabSheet5, Box(3, 55, 300, 15), {fonts_.heading.get(), kWindowText, Alignment::Center},
             kPressContinue),
      BackBt(*this, Box(70, 174, 95, 30), fonts_.window.get(), "Back"),
      TabSheet6(Bevel::None, scale()),
      FinalLabel(TabSheet6, Box(3, 55, 300, 15),
                 {fonts_.heading.get(), kWindowText, Alignment::Center},
                 "Program installed successfully"),
      ThanksLabel(TabSheet6, Box(283 - 3, 89, 3, 13),
                  {fonts_.window.get(), kWindowText, Alignment::Right, true}),
      CommentLabel(TabSheet1, Box(94, 82, 210, 14),
                   {fonts_.comment.get(), RGB(198, 0, 0), Alignment::Center},
                   "for Windows XP and Vista"),
      VersionLabel(TabSheet1, Box(3, 61, 300, 13),
                   {fonts_.window.get(), kWindowText, Alignment::Center, false, true}),
      InstallationProgress(TabSheet5, Box(53, 80, 200, 10), RGB(0, 64, 128)) {
  MakeContainers();
  for (WindowlessControl* control : std::initializer_list<WindowlessControl*>{
           &BakImage, &IconImage, &ContinueBt, &ExitBt, &ProductNameLabel, &BackBt}) {
    Register(*control);
  }
  BottomPanel.Register(CopyLabel);
  BottomPanel.Register(Link);
  for (Label* label : {&FullNameLabel, &HeadLabel, &DeveloperLabel, &CommentLabel, &VersionLabel}) {
    TabSheet1.Register(*label);
  }
  TabSheet2.Register(Label6);
  TabSheet2.Register(SelectFolderBt);
  TabSheet2.Register(SpaceLabel);
  TabSheet5.Register(Label8);
  TabSheet5.Register(InstallationProgress);
  TabSheet6.Register(FinalLabel);
  TabSheet6.Register(ThanksLabel);
  for (Panel* page : {&TabSheet1, &TabSheet2, &TabSheet3, &TabSheet5, &TabSheet6}) {
    PageControl1.AddPage(*page);
  }
  // Made once the selector row is complete, where the pages lie: made before,
  // it would be moved when the row appeared.
  TabSheet1.Make(PageControl1.hwnd(), PageControl1.PageBounds());
  PageControl1.makePages = [this] { MakeLaterPages(); };
  PageControl1.ShowPage(0);
  BackBt.SetEnabled(false);
  SetCursors();
  LoadArtwork();
  BindHandlers();
  ready_ = true;
}

// Later containers lie above earlier ones, and the dialog manager's tab
// order follows the same order: PageControl1, Panel1, BottomPanel. A new
// child window goes below its siblings, so the panels' windows are made
// after PageControl1's, the later one first: restacking them would cost a
// round of position messages each.
void SetupForm::MakeContainers() {
  Panel1.Make(hwnd(), scale()(kPanel1Box), /*visible=*/true);
  BottomPanel.Make(hwnd(), scale()(kBottomPanelBox), /*visible=*/true);
}

// PageControl1 lies just inside Panel1's bevel, whatever its thickness.
RECT SetupForm::PageControlBox() const {
  return InsideBevel(scale()(kPanel1Box), scale());
}

void SetupForm::SetCursors() {
  for (WindowlessControl* control : std::initializer_list<WindowlessControl*>{
           &BackBt, &ContinueBt, &ExitBt, &SelectFolderBt, &Link}) {
    control->cursor = CursorKind::Hand;
  }
}

// The windows of the pages after the first, made once the first page has
// been painted, or before when a later page is shown first; in the order the
// tab order and the stacking need. Each page is made where the page control
// lays out its pages.
void SetupForm::MakeLaterPages() {
  if (TabSheet2.hwnd()) return;
  const RECT area = PageControl1.PageBounds();
  for (Panel* page : {&TabSheet2, &TabSheet3, &TabSheet5, &TabSheet6}) {
    page->Make(PageControl1.hwnd(), area);
  }
  const HFONT font = fonts_.window.get();
  FolderEdit = MakeEditBox(scale()(kFolderEditBox), TabSheet2.hwnd(), font);
  // Made from the bottom one up: the tab order runs that way.
  RunProgramCheck = MakeCheckBox("Launch program", scale()(kRunProgramBox), TabSheet3.hwnd(), font);
  StartIconCheck =
      MakeCheckBox("Create Start menu icon", scale()(kStartIconBox), TabSheet3.hwnd(), font);
  DeskIconCheck =
      MakeCheckBox("Create Desktop icon", scale()(kDeskIconBox), TabSheet3.hwnd(), font);
  for (const ChildControl* check : {&DeskIconCheck, &StartIconCheck, &RunProgramCheck}) {
    TabSheet3.SetChildCursor(check->hwnd(), CursorKind::Hand);
  }
  LoadFolderGlyph();
  FillDefaultFolder();
}

// The pictures drawn for the window's scale. A picture the program does not
// carry leaves its control empty.
void SetupForm::LoadArtwork() {
  BackBt.SetGlyph(ScaledGlyph("BACKGLYPH", scale(), 2, kButtonGlyphSize));
  ContinueBt.SetGlyph(ScaledGlyph("CONTINUEGLYPH", scale(), 2, kButtonGlyphSize));
  ExitBt.SetGlyph(ScaledGlyph("EXITGLYPH", scale(), 1, kButtonGlyphSize));
  IconImage.SetIcon(ScaledIcon("GLOBEICON", scale(), kIconSize));
}

void SetupForm::LoadFolderGlyph() {
  SelectFolderBt.SetGlyph(ScaledGlyph("FOLDERGLYPH", scale(), 1, kFolderGlyphSize));
}

// The window moved to a display of another scale: everything is laid out
// again from its designed boxes, in fonts and pictures made for the new scale.
void SetupForm::Rescale(DisplayScale scale) {
  const WizardFonts old = std::exchange(fonts_, WizardFonts(scale));
  const WindowlessControl::FontMap fonts = [&](HFONT font) { return fonts_.Matching(old, font); };
  const std::initializer_list<Surface*> surfaces{this,       &BottomPanel, &Panel1,    &TabSheet1,
                                                 &TabSheet2, &TabSheet3,   &TabSheet5, &TabSheet6};
  for (Surface* surface : surfaces) surface->SetScale(scale);
  for (Surface* surface : surfaces) {
    for (WindowlessControl* control : surface->controls()) control->Rescale(fonts);
  }
  Place(Panel1.hwnd(), scale(kPanel1Box));
  Place(BottomPanel.hwnd(), scale(kBottomPanelBox));
  PageControl1.Rescale(PageControlBox(), fonts_.window.get(), scale);
  RescaleChildControls();
  if (BakImage.bitmap()) PaintBackdrop();
  LoadArtwork();
  LoadFolderGlyph();
  RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void SetupForm::RescaleChildControls() {
  const HFONT font = fonts_.window.get();
  for (auto [control, box] : {std::pair{&FolderEdit, kFolderEditBox},
                              {&DeskIconCheck, kDeskIconBox},
                              {&StartIconCheck, kStartIconBox},
                              {&RunProgramCheck, kRunProgramBox}}) {
    if (!control->hwnd()) continue;
    SendMessageA(control->hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    Place(control->hwnd(), scale()(box));
  }
  if (tooltip_) tooltip_->SetPart(TabSheet2.hwnd(), 0, SelectFolderBt.bounds());
}

// The system suggests where the window goes on the new display, at the size
// the new scale gives it.
void SetupForm::OnDpiChanged(int dpi, const RECT& suggested) {
  Rescale(DisplayScale(dpi));
  Place(hwnd(), suggested);
}

// The later pages and the tooltip are windows the first page does not show;
// made after the first paint, they do not delay the first sight of the wizard.
void SetupForm::OnShown() {
  MakeLaterPages();
  tooltip();
}

const Tooltip& SetupForm::tooltip() {
  if (!tooltip_) {
    MakeLaterPages();
    tooltip_.emplace(hwnd());
    tooltip_->Add(TabSheet2.hwnd(), SelectFolderBt.bounds(), "Change folder");
  }
  return *tooltip_;
}

void SetupForm::PaintBackdrop() {
  BakImage.SetBitmap(CreateBackdropBitmap(BakImage.width(), BakImage.height()));
}

void SetupForm::ShowPage(int index) {
  PageControl1.ShowPage(index);
}

// Runs once, before the window first becomes visible.
void SetupForm::FormShow() {
  // The system's shared cursor: loaded, never destroyed.
  InstallHandCursor(LoadCursorA(nullptr, IDC_HAND));
  PaintBackdrop();
  installer_.ResetLogCounters();
  ProductNameLabel.SetText(std::string(product::FullName) + " installation");
  FullNameLabel.SetText(product::FullName);
  VersionLabel.SetText(std::string("version ") + product::Version);
  DeveloperLabel.SetText(std::string("developed by ") + product::Publisher);
  SpaceLabel.SetText(std::string("Space required for program installation: ") +
                     product::SpaceRequiredText);
  ThanksLabel.SetText(std::string("Thanks for choosing ") + product::ShortName);
}

void SetupForm::FillDefaultFolder() {
  FolderEdit.SetText(install::DefaultDestinationFolder(installer_.scope()));
}

// Like a dialog, the window keeps its active control: the focus leaves with
// the activation (to a message, the folder browser, another program) and
// comes back to the control that had it, if that can still take it. True
// when the focus was given back.
bool SetupForm::OnActivate(bool active) {
  if (!active) {
    const HWND focus = GetFocus();
    if (focus && IsChild(hwnd(), focus)) activeControl_ = focus;
    return false;
  }
  if (!activeControl_ || !IsWindowVisible(activeControl_) || !IsWindowEnabled(activeControl_)) {
    return false;
  }
  SetFocus(activeControl_);
  return true;
}

LRESULT SetupForm::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!ready_) return Surface::OnMessage(message, wParam, lParam);
  switch (message) {
    case WM_SHOWWINDOW:
      if (wParam && !std::exchange(shown_, true)) FormShow();
      break;
    case WM_NOTIFY: {
      const auto& notification = *reinterpret_cast<const NMHDR*>(lParam);
      if (notification.hwndFrom == PageControl1.hwnd()) return PageControl1.OnNotify(notification);
      break;
    }
    case WM_DPICHANGED:
      OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_ACTIVATE:
      if (OnActivate(LOWORD(wParam) != WA_INACTIVE)) return 0;
      break;
    case WM_CLOSE:
      Close();
      return 0;
    case WM_QUERYENDSESSION: {
      bool canClose = true;
      FormCloseQuery(canClose);
      return canClose;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return Surface::OnMessage(message, wParam, lParam);
}

}  // namespace wizard
