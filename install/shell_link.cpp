// Writing one shell link through the system's shell-link object, logging it
// and announcing its folder to the shell.
#include "install/installer.h"

#include "install/link_folder.h"
#include "platform/com.h"
#include "platform/error.h"
#include "platform/shell.h"
#include "platform/paths.h"
#include "platform/text.h"

#include <shlobj.h>

namespace install {
namespace {

// The braced form of a class identifier, e.g. "{00021401-0000-...}".
std::string ClassIdText(REFCLSID classId) {
  wchar_t text[40];
  const int length = StringFromGUID2(classId, text, 40);
  return platform::WideToAnsi(std::wstring_view(text, length > 0 ? length - 1 : 0));
}

[[noreturn]] void RaiseCreationFailure(HRESULT code) {
  std::string reason = platform::SystemErrorText(static_cast<DWORD>(code));
  if (reason.empty()) reason = platform::Format("OLE error %.8x", static_cast<unsigned>(code));
  platform::Raise(
      platform::Format("%s, ClassID: %s", reason.c_str(), ClassIdText(CLSID_ShellLink).c_str()),
      platform::HResultFailure("CoCreateInstance", code));
}

// The object lacks an interface every shell link has.
void QueryLinkInterface(IUnknown& object, REFIID id, void** target, const char* function) {
  const HRESULT queried = object.QueryInterface(id, target);
  if (FAILED(queried)) {
    platform::Raise("Interface not supported", platform::HResultFailure(function, queried));
  }
}

// The three references one link holds. Members are released in reverse
// order: IShellLinkA, then IPersistFile, then the object's first reference.
struct ShellLinkObject {
  platform::ComPtr<IUnknown> object;
  platform::ComPtr<IPersistFile> file;
  platform::ComPtr<IShellLinkA> link;
};

void CreateShellLinkObject(ShellLinkObject& shellLink) {
  const HRESULT created = platform::Shell().CreateObject(CLSID_ShellLink, shellLink.object.put());
  if (FAILED(created)) RaiseCreationFailure(created);
  QueryLinkInterface(*shellLink.object.get(), IID_IShellLinkA, shellLink.link.put_void(),
                     "QueryInterface(IShellLinkA)");
  QueryLinkInterface(*shellLink.object.get(), IID_IPersistFile, shellLink.file.put_void(),
                     "QueryInterface(IPersistFile)");
}

}  // namespace

void Installer::CreateShellLink(const std::string& WorkingFolder, const std::string& TargetPath,
                                const std::string& Arguments, const std::wstring& LinkPath,
                                const std::string& Description, const std::string& IconPath,
                                int IconIndex) {
  // The program's own uses of the path (folder test, creation, log) are ANSI;
  // only the save gets the exact UTF-16 name.
  const std::string linkPath = platform::WideToAnsi(LinkPath);
  const std::string linkFolder = LinkFolder(linkPath);
  {
    ShellLinkObject shellLink;
    CreateShellLinkObject(shellLink);
    // The setters report nothing the installation could act on, so their
    // results are not examined. c_str() gives "" for empty text, never null.
    shellLink.link->SetArguments(Arguments.c_str());
    shellLink.link->SetPath(TargetPath.c_str());
    shellLink.link->SetWorkingDirectory(WorkingFolder.c_str());
    shellLink.link->SetDescription(Description.c_str());
    shellLink.link->SetIconLocation(IconPath.c_str(), IconIndex);
    if (!platform::DirectoryExists(linkFolder)) {
      // One level only; the result is not examined: a folder that could not
      // be made shows as a link that was not saved, and both are logged.
      CreateDirectoryA(linkFolder.c_str(), nullptr);
      AddLogEntry(LogEntryKind::Folder, linkFolder);
    }
    // Not examined either: the link is logged whether or not it was saved.
    shellLink.file->Save(LinkPath.c_str(), FALSE);
    Record(LogEntryKind::File, linkPath, Recorded::Link);
  }
  platform::Shell().NotifyFolderChanged(linkFolder);
}

}  // namespace install
