#include "install/earlier_record.h"

#include "platform/security.h"
#include "platform/paths.h"
#include "uninstaller/uninstall_log.h"

#include <algorithm>

namespace install {
namespace {

void AddOnce(std::vector<std::string>& paths, const std::string& path) {
  const auto same = [&](const std::string& p) { return platform::IsSamePath(p, path); };
  if (std::none_of(paths.begin(), paths.end(), same)) paths.push_back(path);
}

}  // namespace

EarlierRecord ReadEarlierRecord(const std::string& logPath, const std::string& installDir,
                                const uninstaller::LinkFolders& links) {
  EarlierRecord record;
  if (!platform::FileExists(logPath)) return record;
  const auto log = uninstaller::ReadInstallLog(logPath);
  if (log.failed()) return record;
  const uninstaller::InstallationFiles ours(installDir, links);
  for (const std::string& entry : log->files) {
    const std::string path = ours.PathToRemove(entry);
    if (!path.empty() && platform::FileExists(path)) AddOnce(record.files, path);
  }
  // The uninstaller removes a logged folder only when it is empty, and never
  // one that leads elsewhere.
  for (const std::string& entry : log->folders) {
    const std::string folder = platform::PathInOneForm(entry);
    if (platform::IsFullyQualified(folder) && platform::DirectoryExists(folder) &&
        !platform::IsLinkedFolder(folder)) {
      AddOnce(record.folders, entry);
    }
  }
  return record;
}

}  // namespace install
