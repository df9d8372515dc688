#include "wizard/message_dialog.h"
#include "wizard/visual_styles.h"

#include "platform/system_library.h"
#include "platform/text.h"
#include "platform/unique_resource.h"
#include "wizard/display_scale.h"
#include "wizard/error_box.h"
#include "wizard/gdi.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace wizard {

namespace {

using TaskDialogIndirectFunction = HRESULT(WINAPI*)(const TASKDIALOGCONFIG*, int*, int*, BOOL*);

const char* KindWord(MessageKind kind) {
  return kind == MessageKind::Warning ? "Warning" : "Error";
}

int DefaultButtonId(MessageButtons buttons) {
  return buttons == MessageButtons::Ok ? IDOK : IDYES;
}

MessageAnswer AnswerFor(int pressed) {
  if (pressed == IDOK) return MessageAnswer::Ok;
  if (pressed == IDYES) return MessageAnswer::Yes;
  return MessageAnswer::Other;  // "&No", Escape, closing
}

bool IsWindows6OrLater() {
  OSVERSIONINFOA version{sizeof version};
  return GetVersionExA(&version) && version.dwMajorVersion >= 6;
}

// ---- The task dialog -------------------------------------------------------

// The task dialog; nothing when the system cannot show one.
std::optional<MessageAnswer> ShowTaskDialog(TaskDialogIndirectFunction taskDialog, HWND owner,
                                            MessageKind kind, const std::string& text,
                                            MessageButtons buttons) {
  static const TASKDIALOG_BUTTON kOk[] = {{IDOK, L"OK"}};
  static const TASKDIALOG_BUTTON kYesNo[] = {{IDYES, L"&Yes"}, {IDNO, L"&No"}};
  const std::wstring title = platform::AnsiToWide(KindWord(kind));
  const std::wstring content = platform::AnsiToWide(text);
  TASKDIALOGCONFIG config{sizeof config};
  config.hwndParent = owner;
  config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION;
  config.pszWindowTitle = title.c_str();
  config.pszMainIcon = kind == MessageKind::Warning ? TD_WARNING_ICON : TD_ERROR_ICON;
  config.pszContent = content.c_str();
  config.pButtons = buttons == MessageButtons::Ok ? kOk : kYesNo;
  config.cButtons = buttons == MessageButtons::Ok ? 1 : 2;
  config.nDefaultButton = DefaultButtonId(buttons);
  int pressed = 0;
  if (FAILED(taskDialog(&config, &pressed, nullptr, nullptr))) return std::nullopt;
  return AnswerFor(pressed);
}

// The task dialog where the system offers it: Windows 6.0 and later with
// visual styles active, and version 6 of the common controls (the one the
// manifest binds, already mapped).
std::optional<MessageAnswer> TryTaskDialog(HWND owner, MessageKind kind, const std::string& text,
                                           MessageButtons buttons) {
  if (!IsWindows6OrLater() || !VisualStylesActive()) return std::nullopt;
  platform::UniqueModule loaded;
  HMODULE comctl = GetModuleHandleA("comctl32.dll");
  if (!comctl) {
    loaded = platform::LoadSystemLibrary("comctl32.dll");
    comctl = loaded.get();
  }
  const auto taskDialog =
      platform::LookUp<TaskDialogIndirectFunction>(comctl, "TaskDialogIndirect");
  if (!taskDialog) return std::nullopt;
  return ShowTaskDialog(taskDialog, owner, kind, text, buttons);
}

// ---- The dialog window -----------------------------------------------------

constexpr WORD kIconId = 100;
constexpr WORD kTextId = 101;
constexpr WORD kButtonClass = 0x0080;
constexpr WORD kStaticClass = 0x0082;

// An in-memory dialog template: the header, then one item per control, each
// DWORD-aligned, strings as UTF-16.
class DialogTemplate {
 public:
  DialogTemplate(DWORD style, const std::wstring& title, WORD itemCount) {
    AddDword(style);
    AddDword(0);  // extended style
    words_.push_back(itemCount);
    words_.insert(words_.end(), {0, 0, 200, 60});  // laid out when shown
    words_.insert(words_.end(), {0, 0});           // no menu, standard class
    AddText(title);
    words_.push_back(8);  // DS_SETFONT: point size, then face
    AddText(L"MS Shell Dlg");
  }

  void AddItem(DWORD style, WORD id, WORD classAtom, const std::wstring& text) {
    if (words_.size() % 2) words_.push_back(0);
    AddDword(style | WS_CHILD | WS_VISIBLE);
    AddDword(0);
    words_.insert(words_.end(), {0, 0, 10, 10, id, 0xFFFF, classAtom});
    AddText(text);
    words_.push_back(0);  // no creation data
  }

  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void AddDword(DWORD value) {
    words_.push_back(LOWORD(value));
    words_.push_back(HIWORD(value));
  }
  void AddText(const std::wstring& text) {
    words_.insert(words_.end(), text.begin(), text.end());
    words_.push_back(0);
  }

  std::vector<WORD> words_;
};

struct FallbackRequest {
  MessageKind kind;
  const std::string& text;
  MessageButtons buttons;
};

DialogTemplate BuildTemplate(const FallbackRequest& request) {
  const bool yesNo = request.buttons == MessageButtons::YesNo;
  DialogTemplate dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
                        platform::AnsiToWide(KindWord(request.kind)), yesNo ? 4 : 3);
  dialog.AddItem(SS_ICON, kIconId, kStaticClass, L"");
  dialog.AddItem(SS_LEFT | SS_NOPREFIX, kTextId, kStaticClass, L"");
  const DWORD button = WS_TABSTOP | BS_PUSHBUTTON;
  if (yesNo) {
    dialog.AddItem(button | BS_DEFPUSHBUTTON, IDYES, kButtonClass, L"&Yes");
    dialog.AddItem(button, IDNO, kButtonClass, L"&No");
  } else {
    dialog.AddItem(button | BS_DEFPUSHBUTTON, IDOK, kButtonClass, L"OK");
  }
  return dialog;
}

// The message's size in pixels, wrapped at `maxWidth`, in the dialog's font.
SIZE MeasureText(HWND dialog, const std::string& text, int maxWidth) {
  const WindowDc screen(dialog);
  const SelectedObject font(screen.dc(),
                            reinterpret_cast<HGDIOBJ>(SendMessageA(dialog, WM_GETFONT, 0, 0)));
  RECT bounds{0, 0, maxWidth, 0};
  DrawTextA(screen.dc(), text.c_str(), -1, &bounds, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  return {bounds.right, bounds.bottom};
}

// Icon and message side by side, the buttons centred below them, the
// window centred on the screen. The spacing is designed at 96 dots per inch
// and scaled for the display, as the dialog's font is by the system.
void Layout(HWND dialog, const FallbackRequest& request) {
  const DisplayScale scale(DpiOfWindow(dialog));
  const int margin = scale(12), gap = scale(10), buttonWidth = scale(75), buttonHeight = scale(23),
            buttonGap = scale(6);
  const int icon = GetSystemMetrics(SM_CXICON);
  const SIZE text = MeasureText(dialog, request.text, scale(400));
  const int buttonCount = request.buttons == MessageButtons::YesNo ? 2 : 1;
  const int buttonsWidth = buttonCount * buttonWidth + (buttonCount - 1) * buttonGap;
  const int contentWidth = std::max<int>(icon + gap + text.cx, buttonsWidth);
  const int contentHeight = std::max<int>(icon, text.cy);
  RECT client{0, 0, contentWidth + 2 * margin,
              margin + contentHeight + 2 * gap + buttonHeight + margin};
  MoveWindow(GetDlgItem(dialog, kIconId), margin, margin, icon, icon, FALSE);
  MoveWindow(GetDlgItem(dialog, kTextId), margin + icon + gap,
             margin + (contentHeight - text.cy) / 2, text.cx, text.cy, FALSE);
  int left = (client.right - buttonsWidth) / 2;
  const int top = margin + contentHeight + 2 * gap;
  for (int id : {IDYES, IDNO, IDOK}) {
    if (HWND button = GetDlgItem(dialog, id)) {
      MoveWindow(button, left, top, buttonWidth, buttonHeight, FALSE);
      left += buttonWidth + buttonGap;
    }
  }
  client = FrameForClient(SIZE{client.right, client.bottom}, GetWindowLongA(dialog, GWL_STYLE),
                          GetWindowLongA(dialog, GWL_EXSTYLE), scale.dpi());
  const int width = client.right - client.left, height = client.bottom - client.top;
  SetWindowPos(dialog, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, SWP_NOZORDER);
}

void InitialiseDialog(HWND dialog, const FallbackRequest& request) {
  const char* icon = request.kind == MessageKind::Warning ? IDI_WARNING : IDI_ERROR;
  // A shared system icon: never destroyed.
  SendDlgItemMessageA(dialog, kIconId, STM_SETICON,
                      reinterpret_cast<WPARAM>(LoadIconA(nullptr, icon)), 0);
  SetDlgItemTextA(dialog, kTextId, request.text.c_str());
  Layout(dialog, request);
  const int defaultId = DefaultButtonId(request.buttons);
  SendMessageA(dialog, DM_SETDEFID, defaultId, 0);
  SetFocus(GetDlgItem(dialog, defaultId));
}

INT_PTR CALLBACK FallbackProcedure(HWND dialog, UINT message, WPARAM wParam,
                                   LPARAM lParam) noexcept {
  switch (message) {
    case WM_INITDIALOG:
      RunGuarded(dialog, [&] {
        InitialiseDialog(dialog, *reinterpret_cast<const FallbackRequest*>(lParam));
      });
      return FALSE;  // the focus was set on the default button
    case WM_COMMAND:
      // Escape and the close box arrive as IDCANCEL.
      switch (LOWORD(wParam)) {
        case IDOK:
        case IDYES:
        case IDNO:
        case IDCANCEL:
          EndDialog(dialog, LOWORD(wParam));
          return TRUE;
      }
      break;
  }
  return FALSE;
}

MessageAnswer ShowDialogWindow(HWND owner, MessageKind kind, const std::string& text,
                               MessageButtons buttons) {
  const FallbackRequest request{kind, text, buttons};
  const DialogTemplate dialog = BuildTemplate(request);
  const INT_PTR pressed =
      DialogBoxIndirectParamA(GetModuleHandleA(nullptr), dialog.get(), owner, &FallbackProcedure,
                              reinterpret_cast<LPARAM>(&request));
  if (pressed > 0) return AnswerFor(static_cast<int>(pressed));
  // The window could not be made: the message still reaches the user.
  const UINT style = (buttons == MessageButtons::Ok ? MB_OK : MB_YESNO) |
                     (kind == MessageKind::Warning ? MB_ICONWARNING : MB_ICONERROR);
  return AnswerFor(MessageBoxA(owner, text.c_str(), KindWord(kind), style));
}

// ---- The two ways of asking ------------------------------------------------

class FallbackDialogs final : public MessageDialogs {
 public:
  MessageAnswer Show(HWND owner, MessageKind kind, const std::string& text,
                     MessageButtons buttons) override {
    return ShowDialogWindow(owner, kind, text, buttons);
  }
};

class SystemDialogs final : public MessageDialogs {
 public:
  MessageAnswer Show(HWND owner, MessageKind kind, const std::string& text,
                     MessageButtons buttons) override {
    if (auto answer = TryTaskDialog(owner, kind, text, buttons)) return *answer;
    return ShowDialogWindow(owner, kind, text, buttons);
  }
};

}  // namespace

MessageDialogs& SystemMessageDialogs() {
  static SystemDialogs dialogs;
  return dialogs;
}

MessageDialogs& FallbackMessageDialogs() {
  static FallbackDialogs dialogs;
  return dialogs;
}

}  // namespace wizard
