// Writing one internet shortcut (.url) file, logging it and announcing its
// folder to the shell.
#include "install/internet_shortcut.h"

#include "install/installer.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/shell.h"
#include "platform/paths.h"
#include "platform/unique_resource.h"
#include "product/installation_table.h"

namespace install {
namespace {}  // namespace

std::string InternetShortcutText(const std::string& url, const std::string& iconFile,
                                 int iconIndex) {
  std::string text =
      "[DEFAULT]\r\nBASEURL=" + url + "\r\n[InternetShortcut]\r\nURL=" + url + "\r\n";
  if (!iconFile.empty()) {
    text += "IconIndex=" + std::to_string(iconIndex) + "\r\nIconFile=" + iconFile + "\r\n";
  }
  return text;
}

void Installer::CreateInternetShortcut(const std::string& Folder, const std::string& ShortcutName,
                                       const std::string& Url, const std::string& IconFile,
                                       int IconIndex) {
  const std::string folderPrefix = platform::FolderPrefix(Folder);
  const std::string text = InternetShortcutText(Url, IconFile, IconIndex);
  const std::string fileName = folderPrefix + ShortcutName + product::ShortcutExtension;
  {
    const platform::UniqueFile file = platform::CreateFileForWriting(fileName);
    // One write of the whole text. A short or failed write is not examined:
    // the file keeps what was written and is logged and announced as usual.
    DWORD written = 0;
    WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  }  // closed before it is logged
  AddLogEntry(LogEntryKind::File, fileName);
  platform::Shell().NotifyFolderChanged(folderPrefix);
}

}  // namespace install
