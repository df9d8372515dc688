#include "wizard/folder_browser.h"

#include "platform/com.h"

#include <shlobj.h>

#include <vector>

namespace wizard {

namespace {

// A block from the shell's allocator, given back to that allocator on every
// path (the owners in unique_resource.h release through a fixed function,
// not through an allocator they hold).
class ShellAllocatorBlock {
 public:
  ShellAllocatorBlock(IMalloc& allocator, void* block) noexcept
      : allocator_(allocator), block_(block) {}
  ~ShellAllocatorBlock() {
    if (block_) allocator_.Free(block_);
  }
  ShellAllocatorBlock(const ShellAllocatorBlock&) = delete;
  ShellAllocatorBlock& operator=(const ShellAllocatorBlock&) = delete;
  void* get() const noexcept { return block_; }

 private:
  IMalloc& allocator_;
  void* block_;
};

// Disables the thread's enabled top-level windows for its lifetime, so that
// the wizard cannot be used behind the modal folder dialog.
class ThreadWindowsDisabled {
 public:
  ThreadWindowsDisabled() noexcept {
    EnumThreadWindows(GetCurrentThreadId(), &Collect, reinterpret_cast<LPARAM>(&disabled_));
    for (HWND window : disabled_) EnableWindow(window, FALSE);
  }
  ~ThreadWindowsDisabled() {
    for (HWND window : disabled_) EnableWindow(window, TRUE);
  }
  ThreadWindowsDisabled(const ThreadWindowsDisabled&) = delete;
  ThreadWindowsDisabled& operator=(const ThreadWindowsDisabled&) = delete;

 private:
  static BOOL CALLBACK Collect(HWND window, LPARAM list) noexcept {
    if (!IsWindowEnabled(window)) return TRUE;  // stays as it is afterwards
    try {
      reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
      return TRUE;
    } catch (...) {
      return FALSE;  // out of memory: the windows collected so far are enough
    }
  }

  std::vector<HWND> disabled_;
};

// Browsing an empty removable drive shows no system error box.
class CriticalErrorBoxesOff {
 public:
  CriticalErrorBoxesOff() noexcept : previous_(SetErrorMode(SEM_FAILCRITICALERRORS)) {}
  ~CriticalErrorBoxesOff() { SetErrorMode(previous_); }
  CriticalErrorBoxesOff(const CriticalErrorBoxesOff&) = delete;
  CriticalErrorBoxesOff& operator=(const CriticalErrorBoxesOff&) = delete;

 private:
  UINT previous_;
};

struct BrowseContext {
  HWND centreOn;
  const char* initialFolder;
};

// Centred within the size of the monitor nearest the wizard; the monitor's
// own origin is not added.
void CentreOnNearestMonitor(HWND dialog, HWND centreOn) {
  MONITORINFO monitor{sizeof monitor};
  RECT box;
  if (!GetMonitorInfoA(MonitorFromWindow(centreOn, MONITOR_DEFAULTTONEAREST), &monitor) ||
      !GetWindowRect(dialog, &box)) {
    return;
  }
  const LONG left =
      ((monitor.rcMonitor.right - monitor.rcMonitor.left) - (box.right - box.left)) / 2;
  const LONG top =
      ((monitor.rcMonitor.bottom - monitor.rcMonitor.top) - (box.bottom - box.top)) / 2;
  SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM, LPARAM data) noexcept {
  if (message != BFFM_INITIALIZED) return 0;
  const auto& context = *reinterpret_cast<const BrowseContext*>(data);
  CentreOnNearestMonitor(dialog, context.centreOn);
  if (context.initialFolder[0] != '\0') {
    SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(context.initialFolder));
  }
  return 0;
}

// The chosen folder's path in `buffer`, or nothing on cancel.
std::optional<std::string> RunDialog(IMalloc& allocator, BROWSEINFOA& info, char* buffer) {
  // CoInitialize is CoInitializeEx with the apartment-threaded model; the
  // wizard's thread already is one, so this only adds a reference.
  platform::ComApartment apartment;
  ThreadWindowsDisabled windowsDisabled;
  CriticalErrorBoxesOff errorBoxesOff;
  ShellAllocatorBlock items(allocator, SHBrowseForFolderA(&info));
  if (!items.get()) return std::nullopt;
  // With file-system folders only, every confirmed item has a path; one that
  // had none would leave the display name in the buffer, so it counts as a
  // cancel rather than a wrong folder.
  if (!SHGetPathFromIDListA(static_cast<PCIDLIST_ABSOLUTE>(items.get()), buffer)) {
    return std::nullopt;
  }
  return std::string(buffer);
}

}  // namespace

std::optional<std::string> BrowseForFolder(HWND owner, const std::string& prompt, HWND centreOn) {
  platform::ComPtr<IMalloc> allocator;
  if (FAILED(SHGetMalloc(allocator.put()))) return std::nullopt;
  ShellAllocatorBlock buffer(*allocator.get(), allocator->Alloc(MAX_PATH));
  if (!buffer.get()) return std::nullopt;
  char* path = static_cast<char*>(buffer.get());
  path[0] = '\0';
  // No initial folder: the dialog never starts at the folder the wizard shows.
  BrowseContext context{centreOn, ""};
  BROWSEINFOA info{};
  info.hwndOwner = owner;
  info.pszDisplayName = path;
  info.lpszTitle = prompt.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_NONEWFOLDERBUTTON;
  info.lpfn = &BrowseCallback;
  info.lParam = reinterpret_cast<LPARAM>(&context);
  return RunDialog(*allocator.get(), info, path);
}

}  // namespace wizard
