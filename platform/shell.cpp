#include "platform/shell.h"

#include "platform/com.h"
#include "platform/system_library.h"
#include "platform/text.h"
#include "platform/unique_resource.h"

#include <exdisp.h>
#include <shellapi.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

namespace platform {
namespace {

// The automation library's text functions, from the system folder: the
// program imports nothing a DLL planted beside it could stand in for. The
// library stays loaded once needed.
HMODULE AutomationLibrary() {
  static const UniqueModule library = LoadSystemLibrary("oleaut32.dll");
  return library.get();
}

BSTR AllocateText(const std::wstring& text) {
  const auto allocate =
      LookUp<BSTR(WINAPI*)(const OLECHAR*)>(AutomationLibrary(), "SysAllocString");
  return allocate ? allocate(text.c_str()) : nullptr;
}

void FreeText(BSTR text) {
  const auto free = LookUp<void(WINAPI*)(BSTR)>(AutomationLibrary(), "SysFreeString");
  if (free) free(text);
}

using UniqueBstr = UniqueResource<NullIsEmpty<BSTR, &FreeText>>;

// The shell object of the desktop window: the one the logged-on user's
// shell runs, reached from its window's view. Empty when any step fails.
ComPtr<IShellDispatch2> DesktopShell() {
  ComPtr<IShellWindows> windows;
  if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER,
                              IID_PPV_ARGS(windows.put())))) {
    return {};
  }
  VARIANT none{};  // VT_EMPTY: no location, no root
  long window = 0;
  ComPtr<IDispatch> desktop;
  ComPtr<IServiceProvider> provider;
  ComPtr<IShellBrowser> browser;
  ComPtr<IShellView> view;
  ComPtr<IDispatch> background;
  ComPtr<IShellFolderViewDual> folderView;
  ComPtr<IDispatch> application;
  ComPtr<IShellDispatch2> shell;
  if (windows->FindWindowSW(&none, &none, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, desktop.put()) !=
          S_OK ||
      !desktop || FAILED(desktop->QueryInterface(IID_PPV_ARGS(provider.put()))) ||
      FAILED(provider->QueryService(SID_STopLevelBrowser, IID_PPV_ARGS(browser.put()))) ||
      FAILED(browser->QueryActiveShellView(view.put())) ||
      FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_PPV_ARGS(background.put()))) ||
      FAILED(background->QueryInterface(IID_PPV_ARGS(folderView.put()))) ||
      FAILED(folderView->get_Application(application.put())) || !application ||
      FAILED(application->QueryInterface(IID_PPV_ARGS(shell.put())))) {
    return {};
  }
  return shell;
}

VARIANT Text(BSTR text) {
  VARIANT value{};
  value.vt = VT_BSTR;
  value.bstrVal = text;  // still owned by the caller
  return value;
}

class SystemShellServices final : public ShellServices {
 public:
  void OpenDocument(HWND owner, const std::string& file, const std::string& folder,
                    int showCommand) override {
    // The result is not examined: the user sees whatever the system shows.
    ShellExecuteA(owner, "open", file.c_str(), nullptr, folder.empty() ? nullptr : folder.c_str(),
                  showCommand);
  }

  void NotifyFolderChanged(const std::string& folder) override {
    SHChangeNotify(SHCNE_MKDIR, SHCNF_PATHA, folder.c_str(), nullptr);
  }

  HRESULT CreateObject(REFCLSID classId, IUnknown** object) override {
    return CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                            IID_IUnknown, reinterpret_cast<void**>(object));
  }
};

SystemShellServices systemShell;
ShellServices* replacement = nullptr;

}  // namespace

bool ShellServices::OpenDocumentsAsUser(const std::vector<std::string>& files,
                                        const std::string& folder, int showCommand) {
  const ComPtr<IShellDispatch2> shell = DesktopShell();
  if (!shell) return false;
  const UniqueBstr directory(AllocateText(AnsiToWide(folder)));
  const UniqueBstr verb(AllocateText(L"open"));
  if (!directory || !verb) return false;
  VARIANT none{};
  VARIANT show{};
  show.vt = VT_I4;
  show.lVal = showCommand;
  for (const std::string& file : files) {
    const UniqueBstr name(AllocateText(AnsiToWide(file)));
    // As with the documents opened directly, the result is not examined.
    shell->ShellExecute(name.get(), none, Text(directory.get()), Text(verb.get()), show);
  }
  return true;
}

ShellServices& SystemShell() {
  return systemShell;
}

ShellServices& Shell() {
  return replacement ? *replacement : systemShell;
}

ShellServices* SetShellServices(ShellServices* services) {
  ShellServices* previous = replacement;
  replacement = services;
  return previous;
}

}  // namespace platform
