// The wizard window, TSetupForm: the program's only window, its 31 controls
// and its state. The handlers of the buttons, the link and the page control
// are bound to the controls' callbacks (onClick, onChanging).
#pragma once

#include "wizard/application.h"
#include "wizard/child_control.h"
#include "wizard/fonts.h"
#include "wizard/form_window.h"
#include "wizard/image_control.h"
#include "wizard/label.h"
#include "wizard/page_control.h"
#include "wizard/panel.h"
#include "wizard/speed_button.h"
#include "wizard/tooltip.h"

#include <string>

namespace wizard {

// The publisher's copyright notice and web address shown along the bottom.
inline constexpr const char* kCopyrightNotice = "Copyright (c) 2009 Nerovane technologies";
// The host of a web address: no scheme, no path.
std::string HostOf(const std::string& url);

class SetupForm : public FormWindow {
 public:
  explicit SetupForm(Application& application);

  // Renders the grey backdrop into BakImage.
  void PaintBackdrop();
  // Makes the page with this number the current page.
  void ShowPage(int index);

 private:
  bool ready_ = false;  // messages reach the controls only once all exist
  Application& application_;
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

  int PageIndex = 0;
  std::string InstallDir;

  const WizardFonts& fonts() const noexcept { return fonts_; }
  const Tooltip& tooltip() const noexcept { return tooltip_; }

 protected:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void StackControls();
  void SetCursors();
  void LoadArtwork();
  void FormShow();
  void FillDefaultFolder();

  Tooltip tooltip_;
  bool shown_ = false;
};

}  // namespace wizard
