// What an earlier installation into the same folder recorded and is still
// on the machine. A new installation deletes that log before it begins its
// own; listing these again keeps every installation's files removable by
// the product's uninstaller, also when this one stops part-way.
#pragma once

#include "uninstaller/installation_files.h"

#include <string>
#include <vector>

namespace install {

struct EarlierRecord {
  std::vector<std::string> files;    // as the uninstaller would delete them, each once
  std::vector<std::string> folders;  // as logged, each once
};

// The entries of the log at `logPath` that the product's uninstaller,
// started from `installDir`, would act on and that still exist. Nothing for
// a log that is missing or describes no installation.
EarlierRecord ReadEarlierRecord(const std::string& logPath, const std::string& installDir,
                                const uninstaller::LinkFolders& links);

}  // namespace install
