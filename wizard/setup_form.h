// The wizard window, TSetupForm: the program's only window, its 31 controls
// and its state. The handlers of the buttons, the link and the page control
// are bound to the controls' callbacks (onClick, onChanging).
#pragma once

#include "install/installer.h"
#include "product/copyright_notice.h"
#include "wizard/application.h"
#include "wizard/child_control.h"
#include "wizard/fonts.h"
#include "wizard/form_window.h"
#include "wizard/image_control.h"
#include "wizard/label.h"
#include "wizard/message_dialog.h"
#include "wizard/page_control.h"
#include "wizard/panel.h"
#include "wizard/progress_bar.h"
#include "wizard/speed_button.h"
#include "wizard/tooltip.h"

#include <atomic>
#include <functional>
#include <optional>
#include <string>

namespace wizard {

// The ready page's text until the installation starts.
inline constexpr const char* kPressContinue = "Press Continue to install the program";

// The publisher's copyright notice shown along the bottom, as the program
// file's version information carries it.
inline constexpr const char* kCopyrightNotice = PRODUCT_COPYRIGHT_NOTICE;
// The host of a web address: no scheme, no path.
std::string HostOf(const std::string& url);

// Whether the window may close: not while the wizard runs and no
// installation has returned, unless the user confirmed leaving.
enum class ExitState { WizardRunning = 0, InstallationAttempted = 1, ExitConfirmed = 2 };

class SetupForm : public FormWindow, private install::InstallationHost {
 public:
  // `dialogs` answers the message dialogs; the installation takes its
  // payloads from `payloadModule` (the program itself when null) and uses
  // the registry keys of `registry`.
  explicit SetupForm(Application& application, MessageDialogs& dialogs = SystemMessageDialogs(),
                     HMODULE payloadModule = nullptr, install::RegistryLocations registry = {});

  // Renders the grey backdrop into BakImage.
  void PaintBackdrop();
  // Makes the page with this number the current page.
  void ShowPage(int index);
  // Lays the window out at another scale, as when it moves to a display
  // that scales otherwise (the window's own size is its caller's).
  void Rescale(DisplayScale scale);

 private:
  bool ready_ = false;  // messages reach the controls only once all exist
  Application& application_;
  MessageDialogs& dialogs_;
  install::Installer installer_;  // holds InstallDir and the install log
  WizardFonts fonts_;

 public:
  ImageControl IconImage;
  SpeedButton ContinueBt;
  SpeedButton ExitBt;
  Label ProductNameLabel;
  Panel BottomPanel;
  Label CopyLabel;
  Label Link;
  ImageControl BakImage;
  Panel Panel1;
  PageControl PageControl1;
  Panel TabSheet1;
  Panel TabSheet2;
  Panel TabSheet3;
  Label FullNameLabel;
  Label HeadLabel;
  Label DeveloperLabel;
  Label Label6;
  ChildControl FolderEdit;
  SpeedButton SelectFolderBt;
  Label SpaceLabel;
  Panel TabSheet5;
  Label Label8;
  SpeedButton BackBt;
  Panel TabSheet6;
  Label FinalLabel;
  Label ThanksLabel;
  Label CommentLabel;
  Label VersionLabel;
  ChildControl RunProgramCheck;
  ChildControl StartIconCheck;
  ChildControl DeskIconCheck;
  // Under Label8 once the installation starts.
  ProgressBar InstallationProgress;

  // TabSheet2 to TabSheet6, FolderEdit and the check boxes have their
  // windows once the form has been shown or a later page was asked for.

  // The current page, as the page control shows it: the one place it is kept.
  int PageIndex() const { return PageControl1.current(); }
  ExitState exitState() const noexcept { return exitState_; }
  // The destination folder with a trailing backslash, once the installation started.
  const std::string& InstallDir() const noexcept { return installer_.InstallDir(); }
  const install::Installer& installer() const noexcept { return installer_; }

  // The handlers, bound to their events in the constructor.
  void ContinueBtClick();
  void BackBtClick();
  void ExitBtClick();
  void LinkClick();
  void SelectFolderBtClick();
  void PageControl1Changing(bool& AllowChange);
  void FormCloseQuery(bool& CanClose);
  void FormClose();
  // Asks the window to close, as every close request does.
  void Close();

  const WizardFonts& fonts() const noexcept { return fonts_; }
  // Made once the window is first shown (the folder button is not on the
  // first page), or here when asked for before.
  const Tooltip& tooltip();

 protected:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnShown() override;

 private:
  void MakeContainers();
  void MakeLaterPages();
  void SetCursors();
  void LoadArtwork();
  void LoadFolderGlyph();
  RECT PageControlBox() const;
  void RescaleChildControls();
  void OnDpiChanged(int dpi, const RECT& suggested);
  void FormShow();
  void FillDefaultFolder();
  void BindHandlers();
  void AdvancePage();
  void StartInstallation();
  bool RunInstallation();
  // Processes the waiting messages; false when the user left meanwhile.
  bool ProcessMessagesUnlessLeft();

  bool OnActivate(bool active);

  // What the installation asks of the wizard.
  bool DeskIconChecked() override;
  bool StartIconChecked() override;
  bool RunProgramChecked() override;
  void ShowDecompressionError() override;
  HWND OwnerWindow() override;
  install::Extraction RunPayloads(const std::function<install::Extraction()>& payloads) override;
  bool PayloadProgress(unsigned long long done, unsigned long long total) override;
  bool ConfirmExit();

  std::optional<Tooltip> tooltip_;
  ExitState exitState_ = ExitState::WizardRunning;
  // While RunInstallation runs, Exit's "&Yes" asks it to stop at its next
  // chunk; the window closes once it has. The payloads are written on a
  // thread of their own, which reads the last three and sets progress_.
  bool installing_ = false;
  std::atomic<bool> stopRequested_ = false;
  // Set while the payloads may go on: reset while Exit asks its question.
  platform::UniqueHandle mayGoOn_;
  std::atomic<unsigned> progress_ = 0;  // of kProgressScale
  bool shown_ = false;
  HWND activeControl_ = nullptr;  // the control with the focus when the window was left
};

}  // namespace wizard
