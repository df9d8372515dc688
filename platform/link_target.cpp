#include "platform/link_target.h"

#include "platform/com.h"
#include "platform/text.h"

#include <shlobj.h>

namespace platform {

std::string ShellLinkTarget(const std::string& linkPath) {
  const ComApartment apartment;  // declared first: released after the interfaces
  ComPtr<IShellLinkW> link;
  ComPtr<IPersistFile> file;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              link.put_void())) ||
      FAILED(link->QueryInterface(IID_IPersistFile, file.put_void())) ||
      FAILED(file->Load(AnsiToWide(linkPath).c_str(), STGM_READ))) {
    return {};
  }
  wchar_t target[MAX_PATH] = L"";
  // S_FALSE, a link without a path, leaves the text empty.
  if (FAILED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH))) return {};
  return WideToAnsi(target);
}

}  // namespace platform
