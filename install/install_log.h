// install.log as it is written: the writer, the two counters that number its
// [Files] and [Folders] keys, and what it carries over from an earlier
// installation's log. The contract with the product's uninstaller.
#pragma once

#include "install/earlier_record.h"
#include "install/log_writer.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace install {

// What one install.log entry records, with the kind numbers the log's
// readers have always used.
enum class LogEntryKind { File = 0, Folder = 1 };

class InstallLogBook {
 public:
  // The writer: empty until the log is begun and after it is released.
  const std::optional<LogWriter>& writer() const noexcept { return writer_; }
  int nextFileIndex() const noexcept { return nextFileIndex_; }
  int nextFolderIndex() const noexcept { return nextFolderIndex_; }

  // Window shown: both counters back to 1.
  void ResetCounters() noexcept;
  // Window closes: the writer, if any, is released (flushed).
  void Release() noexcept { writer_.reset(); }

  // Deletes an old log at `path`, creates the writer on it, writes the
  // [Application] header, then lists again what `earlier` holds.
  void Begin(const std::string& path, const EarlierRecord& earlier);
  // One entry under the next key of its section; a value of no kind, or a
  // path the log already lists from the earlier installation, writes
  // nothing. The counter advances only after its write succeeded.
  void Add(LogEntryKind kind, const std::string& path);

 private:
  void Write(LogEntryKind kind, const std::string& path);

  std::optional<LogWriter> writer_;  // null until the log is begun
  int nextFileIndex_ = 1;
  int nextFolderIndex_ = 1;
  // What the log lists from the earlier installation's: kind and the form
  // paths are compared in.
  std::vector<std::pair<LogEntryKind, std::wstring>> carried_;
};

}  // namespace install
