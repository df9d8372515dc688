// The wizard's behaviour: moving between the pages with Continue and Back,
// the protection against leaving before an installation was attempted, the
// publisher's link, the folder button and the start of the installation.
#include "wizard/folder_browser.h"
#include "platform/shell.h"
#include "product/program_texts.h"
#include "product/product_definition.h"
#include "install/destination_folder.h"
#include "wizard/background_work.h"
#include "wizard/error_box.h"
#include "wizard/setup_form.h"

namespace wizard {
namespace {

enum Page { kWelcome = 0, kDestination = 1, kOptions = 2, kReady = 3 };

// How often the progress bar follows the payloads, in milliseconds; the
// messages are read as they come.
constexpr DWORD kMessagesInterval = 30;
constexpr unsigned kProgressScale = 1u << 16;

}  // namespace

void SetupForm::BindHandlers() {
  ContinueBt.onClick = [this] { ContinueBtClick(); };
  BackBt.onClick = [this] { BackBtClick(); };
  ExitBt.onClick = [this] { ExitBtClick(); };
  Link.onClick = [this] { LinkClick(); };
  SelectFolderBt.onClick = [this] { SelectFolderBtClick(); };
  PageControl1.onChanging = [this](bool& allowChange) { PageControl1Changing(allowChange); };
}

// A page change made by the program is not subject to PageControl1Changing.
void SetupForm::AdvancePage() {
  ShowPage(PageIndex() + 1);
}

void SetupForm::ContinueBtClick() {
  switch (PageControl1.current()) {
    case kWelcome:
      AdvancePage();
      BackBt.SetEnabled(true);
      break;
    case kDestination:
      if (FolderEdit.text().empty()) {
        dialogs_.Show(hwnd(), MessageKind::Warning, kPleaseSpecifyFolder, MessageButtons::Ok);
      } else {
        AdvancePage();
      }
      break;
    case kOptions:
      AdvancePage();
      break;
    case kReady:
      StartInstallation();
      break;
  }
}

void SetupForm::BackBtClick() {
  if (PageIndex() == 0) return;
  ShowPage(PageIndex() - 1);
  if (PageControl1.current() == kWelcome) BackBt.SetEnabled(false);
}

// While the installation runs, the window must outlive it: "&Yes" asks it
// to stop, and the window closes once it has (StartInstallation).
void SetupForm::ExitBtClick() {
  if (exitState_ == ExitState::WizardRunning && ConfirmExit()) {
    if (installing_) {
      stopRequested_ = true;
      return;
    }
    exitState_ = ExitState::ExitConfirmed;
  }
  Close();
}

// The payloads wait at their next chunk while the question is open, so
// that the answer finds the installation where the user left it.
bool SetupForm::ConfirmExit() {
  struct Held {
    HANDLE goOn;
    explicit Held(HANDLE event) : goOn(event) {
      if (goOn) ResetEvent(goOn);
    }
    ~Held() {
      if (goOn) SetEvent(goOn);
    }
  } held(installing_ ? mayGoOn_.get() : nullptr);
  return dialogs_.Show(hwnd(), MessageKind::Warning, kReallyExit, MessageButtons::YesNo) ==
         MessageAnswer::Yes;
}

// Pages change only through Continue and Back.
void SetupForm::PageControl1Changing(bool& AllowChange) {
  AllowChange = false;
}

void SetupForm::FormCloseQuery(bool& CanClose) {
  if (exitState_ == ExitState::WizardRunning) CanClose = false;
}

void SetupForm::Close() {
  bool canClose = true;
  FormCloseQuery(canClose);
  if (!canClose) return;
  FormClose();
  // The object is whole here, so the window is destroyed with the object
  // still attached: its WM_DESTROY ends the message loop and the program.
  // A window already gone needs nothing more: the result is not examined.
  DestroyWindow(hwnd());
}

void SetupForm::FormClose() {
  installer_.ReleaseLog();
}

void SetupForm::LinkClick() {
  Link.SetColor(RGB(128, 0, 128));
  Application::ProcessMessages();  // so that the new colour is painted
  platform::Shell().OpenDocument(application_.hiddenWindow(), product::PublisherUrl, "",
                                 SW_SHOWDEFAULT);
}

// Waiting messages may hold an Exit click: once the user confirmed leaving,
// the window is gone and the handler that let them through must do nothing
// more.
bool SetupForm::ProcessMessagesUnlessLeft() {
  Application::ProcessMessages();
  return exitState_ != ExitState::ExitConfirmed;
}

void SetupForm::SelectFolderBtClick() {
  // The button is repainted before the dialog opens.
  if (!ProcessMessagesUnlessLeft()) return;
  const auto chosen = wizard::BrowseForFolder(application_.hiddenWindow(), Label6.text(), hwnd());
  // The browser's owner is the hidden window, and the wizard was disabled
  // while it closed: nothing else makes the wizard active again, with its
  // focus where it was. The result is not examined: at worst a click does it.
  SetForegroundWindow(hwnd());
  if (chosen) FolderEdit.SetText(install::ProductFolderIn(*chosen));
}

// An error raised by the installation skips the rest: the wizard then stays
// on the ready page with its buttons disabled and Exit still asking first.
// What would stop it part-way is told before anything changes, and then
// the ready page is as it was: the user removes the cause (closes the
// product, frees space) and presses Continue again, or goes back.
void SetupForm::StartInstallation() {
  ContinueBt.SetEnabled(false);
  BackBt.SetEnabled(false);
  Label8.SetText("please wait...");
  InstallationProgress.Show();
  // The disabled buttons and the text are painted.
  if (!ProcessMessagesUnlessLeft()) return;
  if (const install::Obstacle obstacle = installer_.InstallationObstacle(FolderEdit.text());
      !obstacle.empty()) {
    ShowErrorBox(hwnd(), obstacle.text.c_str());
    Label8.SetText(kPressContinue);
    InstallationProgress.Hide();
    BackBt.SetEnabled(true);
    ContinueBt.SetEnabled(true);
    return;
  }
  if (RunInstallation()) AdvancePage();
  if (stopRequested_) {
    exitState_ = ExitState::ExitConfirmed;
    Close();
    return;
  }
  exitState_ = ExitState::InstallationAttempted;
  ExitBt.SetCaption("Close");
}

// The flag falls also when the installation raises.
bool SetupForm::RunInstallation() {
  struct Installing {
    bool& flag;
    explicit Installing(bool& f) : flag(f) { flag = true; }
    ~Installing() { flag = false; }
  } installing(installing_);
  return installer_.RunInstallation(FolderEdit.text(), *this);
}

// The window keeps painting and answering while the payloads are written,
// however long that takes and whatever holds a write up: they are written
// on a thread of their own, and this one reads its messages and moves the
// progress bar meanwhile. Only Exit and the link can act then: Continue and
// Back are disabled, the page selectors refuse, and a close request is
// refused while the wizard runs; nothing of them touches the installation
// but the stop Exit asks for.
install::Extraction SetupForm::RunPayloads(const std::function<install::Extraction()>& payloads) {
  if (!mayGoOn_) mayGoOn_.reset(CreateEventA(nullptr, TRUE, TRUE, nullptr));
  if (!mayGoOn_) {
    platform::Raise(product::kOutOfMemory, platform::Win32Failure("CreateEventA", GetLastError()));
  }
  install::Extraction result = install::Extraction::Written;
  BackgroundWork work([&] { result = payloads(); });
  while (!work.EndedOrMessage(kMessagesInterval)) {
    InstallationProgress.SetPosition(progress_, kProgressScale);
    Application::ProcessMessages();
  }
  work.Finish();
  InstallationProgress.SetPosition(progress_, kProgressScale);
  // "&Yes" answered after the last chunk: the installation stops all the same.
  if (result == install::Extraction::Written && stopRequested_) return install::Extraction::Stopped;
  return result;
}

// On the payloads' thread: nothing of the window is touched here.
bool SetupForm::PayloadProgress(unsigned long long done, unsigned long long total) {
  progress_ = total == 0 ? kProgressScale : static_cast<unsigned>(done * kProgressScale / total);
  WaitForSingleObject(mayGoOn_.get(), INFINITE);  // while Exit asks
  return !stopRequested_;
}

bool SetupForm::DeskIconChecked() {
  return IsChecked(DeskIconCheck);
}
bool SetupForm::StartIconChecked() {
  return IsChecked(StartIconCheck);
}
bool SetupForm::RunProgramChecked() {
  return IsChecked(RunProgramCheck);
}

void SetupForm::ShowDecompressionError() {
  dialogs_.Show(hwnd(), MessageKind::Error, kErrorDecompressing, MessageButtons::Ok);
}

HWND SetupForm::OwnerWindow() {
  return hwnd();
}

}  // namespace wizard
