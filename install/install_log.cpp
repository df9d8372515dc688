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
  const std::string path = platform::FullPathName(installDir_ + "install.log");
  // A log left by an earlier installation would mix its entries with ours. A
  // failure to delete it is not examined: the header writes below report a
  // log that cannot be written.
  if (platform::FileExists(path)) DeleteFileA(path.c_str());
  installLog_.emplace(path);
  installLog_->Write("Application", "ShortName", product::ShortName);
  installLog_->Write("Application", "FullName", product::FullName);
  installLog_->Write("Application", "Version", product::Version);
}

void Installer::AddLogEntry(LogEntryKind kind, const std::string& path) {
  // The counter moves only once its key is on disk, so a failed write leaves
  // no gap in the numbering the uninstaller reads.
  switch (kind) {
    case LogEntryKind::File:
      installLog_.value().Write("Files", std::to_string(nextFileIndex_).c_str(), path);
      ++nextFileIndex_;
      if (onRecorded_) onRecorded_(Recorded::File, path);
      return;
    case LogEntryKind::Folder:
      installLog_.value().Write("Folders", std::to_string(nextFolderIndex_).c_str(), path);
      ++nextFolderIndex_;
      if (onRecorded_) onRecorded_(Recorded::Folder, path);
      return;
  }
}

}  // namespace install
