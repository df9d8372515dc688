#include "install/install_log.h"

#include "platform/error.h"
#include "platform/paths.h"
#include "product/product_definition.h"

#include <windows.h>

#include <algorithm>

namespace install {

void InstallLogBook::ResetCounters() noexcept {
  nextFileIndex_ = 1;
  nextFolderIndex_ = 1;
}

void InstallLogBook::Begin(const std::string& path, const EarlierRecord& earlier) {
  // A log left by an earlier installation would mix its entries with ours:
  // what it still names is carried over below instead. One that cannot be
  // deleted (the check before the installation refuses that) is not written
  // into.
  if (platform::FileExists(path) && !DeleteFileA(path.c_str())) {
    platform::Raise(platform::Format("Unable to write to %s", path.c_str()),
                    platform::Win32Failure("DeleteFileA", GetLastError()));
  }
  writer_.emplace(path);
  writer_->Write("Application", "ShortName", product::ShortName);
  writer_->Write("Application", "FullName", product::FullName);
  writer_->Write("Application", "Version", product::Version);
  carried_.clear();
  for (const std::string& file : earlier.files) {
    Write(LogEntryKind::File, file);
    carried_.emplace_back(LogEntryKind::File, platform::ComparedForm(file));
  }
  for (const std::string& folder : earlier.folders) {
    Write(LogEntryKind::Folder, folder);
    carried_.emplace_back(LogEntryKind::Folder, platform::ComparedForm(folder));
  }
}

void InstallLogBook::Add(LogEntryKind kind, const std::string& path) {
  if (kind != LogEntryKind::File && kind != LogEntryKind::Folder) return;
  const bool listed = !carried_.empty() && [&] {
    const std::wstring form = platform::ComparedForm(path);
    return std::any_of(carried_.begin(), carried_.end(), [&](const auto& entry) {
      return entry.first == kind && platform::SameComparedForm(entry.second, form);
    });
  }();
  if (!listed) Write(kind, path);
}

void InstallLogBook::Write(LogEntryKind kind, const std::string& path) {
  // The counter moves only once its key is on disk, so a failed write leaves
  // no gap in the numbering the uninstaller reads.
  int& counter = kind == LogEntryKind::File ? nextFileIndex_ : nextFolderIndex_;
  writer_.value().Write(kind == LogEntryKind::File ? "Files" : "Folders",
                        std::to_string(counter).c_str(), path);
  ++counter;
}

}  // namespace install
