// Beginning install.log and adding its numbered [Files] and [Folders] entries.
#include "install/installer.h"

#include "platform/text.h"
#include "product/product_definition.h"

#include <string>

namespace install {

void Installer::BeginLog() {
  // The profile writer looks for a relative path in the Windows folder, so a
  // destination typed as a relative path would put its log there: the log is
  // always named by its absolute path, beside the files it lists.
  const std::string path = platform::FullPathName(InstallDir + "install.log");
  // A log left by an earlier installation would mix its entries with ours. A
  // failure to delete it is not examined: the header writes below report a
  // log that cannot be written.
  if (platform::FileExists(path)) DeleteFileA(path.c_str());
  InstallLog.emplace(path);
  InstallLog->Write("Application", "ShortName", product::ShortName);
  InstallLog->Write("Application", "FullName", product::FullName);
  InstallLog->Write("Application", "Version", product::Version);
}

void Installer::AddLogEntry(int kind, const std::string& path) {
  // The counter moves only once its key is on disk, so a failed write leaves
  // no gap in the numbering the uninstaller reads.
  if (kind == 0) {
    InstallLog.value().Write("Files", std::to_string(NextFileIndex).c_str(), path);
    ++NextFileIndex;
    if (onRecorded) onRecorded(Recorded::File, path);
  } else if (kind == 1) {
    InstallLog.value().Write("Folders", std::to_string(NextFolderIndex).c_str(), path);
    ++NextFolderIndex;
    if (onRecorded) onRecorded(Recorded::Folder, path);
  }
}

}  // namespace install
