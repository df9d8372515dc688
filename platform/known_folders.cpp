#include "platform/known_folders.h"

#include "platform/unique_resource.h"

#include <windows.h>
#include <shlobj.h>

namespace platform {

std::string KnownFolderPath(int csidl) {
  char path[MAX_PATH] = "";
  if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
  return path;
}

std::wstring KnownFolderPathWide(int csidl) {
  wchar_t path[MAX_PATH] = L"";
  if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
  return path;
}

std::wstring KnownFolderPathWide(REFKNOWNFOLDERID id) {
  UniqueTaskText path;
  if (FAILED(SHGetKnownFolderPath(id, 0, nullptr, path.put())) || !path) return {};
  return path.get();
}

}  // namespace platform
