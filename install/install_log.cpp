// Beginning install.log and adding its numbered [Files] and [Folders] entries.
#include "install/earlier_record.h"
#include "install/installer.h"

#include "platform/paths.h"
#include "product/product_definition.h"

#include <algorithm>
#include <string>

namespace install {

void Installer::BeginLog() {
  // The profile writer looks for a relative path in the Windows folder, so a
  // destination typed as a relative path would put its log there: the log is
  // always named by its absolute path, beside the files it lists.
  const std::string path = platform::FullPathName(installDir_ + "install.log");
  // The record is read where the product's uninstaller will look for links.
  const EarlierRecord earlier =
      platform::FileExists(path)
          ? ReadEarlierRecord(
                path, installDir_,
                uninstaller::SystemLinkFolders(registry_.shellFoldersRoot, registry_.explorerKey))
          : EarlierRecord{};
  // A log left by an earlier installation would mix its entries with ours:
  // what it still names is carried over below instead. A failure to delete
  // it is not examined: the header writes below report a log that cannot be
  // written.
  if (platform::FileExists(path)) DeleteFileA(path.c_str());
  installLog_.emplace(path);
  installLog_->Write("Application", "ShortName", product::ShortName);
  installLog_->Write("Application", "FullName", product::FullName);
  installLog_->Write("Application", "Version", product::Version);
  carried_.clear();
  for (const std::string& file : earlier.files) {
    WriteLogEntry(LogEntryKind::File, file);
    carried_.emplace_back(LogEntryKind::File, file);
  }
  for (const std::string& folder : earlier.folders) {
    WriteLogEntry(LogEntryKind::Folder, folder);
    carried_.emplace_back(LogEntryKind::Folder, folder);
  }
}

void Installer::WriteLogEntry(LogEntryKind kind, const std::string& path) {
  // The counter moves only once its key is on disk, so a failed write leaves
  // no gap in the numbering the uninstaller reads.
  switch (kind) {
    case LogEntryKind::File:
      installLog_.value().Write("Files", std::to_string(nextFileIndex_).c_str(), path);
      ++nextFileIndex_;
      return;
    case LogEntryKind::Folder:
      installLog_.value().Write("Folders", std::to_string(nextFolderIndex_).c_str(), path);
      ++nextFolderIndex_;
      return;
  }
}

void Installer::AddLogEntry(LogEntryKind kind, const std::string& path) {
  if (kind != LogEntryKind::File && kind != LogEntryKind::Folder) return;
  const bool listed = std::any_of(carried_.begin(), carried_.end(), [&](const auto& entry) {
    return entry.first == kind && platform::IsSamePath(entry.second, path);
  });
  if (!listed) WriteLogEntry(kind, path);
  if (onRecorded_)
    onRecorded_(kind == LogEntryKind::File ? Recorded::File : Recorded::Folder, path);
}

}  // namespace install
