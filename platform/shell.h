// The shell operations the program asks of the system. Tests replace the
// services through SetShellServices to see what was asked without a browser
// or editor starting, or to make object creation fail.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace platform {

class ShellServices {
 public:
  virtual ~ShellServices() = default;

  // ShellExecuteA "open"; the result is never examined. An empty folder is
  // passed as no folder.
  virtual void OpenDocument(HWND owner, const std::string& file, const std::string& folder,
                            int showCommand) = 0;

  // Opens the documents, in order, as the user logged on to the desktop
  // sees them opened from there: through the desktop shell's dispatch object
  // (IShellDispatch2::ShellExecute "open"), so they run with the shell's
  // rights, not this program's. False, with none opened, when that object
  // cannot be reached.
  virtual bool OpenDocumentsAsUser(const std::vector<std::string>& files, const std::string& folder,
                                   int showCommand);

  // SHChangeNotify(SHCNE_MKDIR, SHCNF_PATHA, folder, nullptr).
  virtual void NotifyFolderChanged(const std::string& folder) = 0;

  // CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IUnknown).
  virtual HRESULT CreateObject(REFCLSID classId, IUnknown** object) = 0;
};

// The services in use: the system's own unless a test installed others.
ShellServices& Shell();

// Installs replacement services (nullptr restores the system's); returns the
// previous replacement. The caller keeps ownership.
ShellServices* SetShellServices(ShellServices* services);

// The system's own services, for replacements that forward to them.
ShellServices& SystemShell();

}  // namespace platform
