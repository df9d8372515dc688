// Reading install.log, the record the setup program leaves beside this
// uninstaller: the product's names and the files and folders it made.
#pragma once

#include "uninstaller/outcome.h"

#include <string>
#include <vector>

namespace uninstaller {

struct InstallLogContents {
  std::string shortName;
  std::string fullName;
  std::string version;
  std::vector<std::string> files;    // [Files] values in numeric key order
  std::vector<std::string> folders;  // [Folders] values in numeric key order
};

// The section's values ordered by their numeric keys. Gaps in the numbering
// are skipped over; keys that are not decimal numbers are not ours and are
// left out; equal numbers keep their order in the file.
std::vector<std::string> ReadNumberedSection(const std::string& logPath, const char* section);

// The whole log. Fails when it is missing, cannot be read, or does not name
// the product it describes (an empty file among them): nothing may then be
// removed.
Result<InstallLogContents> ReadInstallLog(const std::string& logPath);

}  // namespace uninstaller
