#include "platform/shell.h"

#include <shellapi.h>
#include <shlobj.h>

namespace platform {
namespace {

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
