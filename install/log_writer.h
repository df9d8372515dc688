// The install-log writer: holds the log file's path and nothing else; every
// entry is one call of the system's profile writer.
#pragma once

#include <string>

namespace install {

class LogWriter {
 public:
  explicit LogWriter(std::string path) : path_(std::move(path)) {}
  LogWriter(const LogWriter&) = delete;
  LogWriter& operator=(const LogWriter&) = delete;
  // Releasing the writer makes the system write out what it holds for the file.
  ~LogWriter();

  // Raises "Unable to write to <path>" when the profile call fails.
  void Write(const char* section, const char* key, const std::string& value) const;

  const std::string& path() const noexcept { return path_; }

 private:
  std::string path_;
};

}  // namespace install
