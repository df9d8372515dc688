#include "install/earlier_record.h"

#include "platform/security.h"
#include "platform/paths.h"
#include "uninstaller/uninstall_log.h"

#include <algorithm>
#include <utility>

namespace install {
namespace {

// Adds `path` unless `seen` holds its compared form already. The forms are
// made once per entry, so a long log costs no more than reading it.
void AddOnce(std::vector<std::string>& paths, std::vector<std::wstring>& seen,
             const std::string& path) {
  std::wstring form = platform::ComparedForm(path);
  const auto same = [&](const std::wstring& s) { return platform::SameComparedForm(s, form); };
  if (std::any_of(seen.begin(), seen.end(), same)) return;
  seen.push_back(std::move(form));
  paths.push_back(path);
}

}  // namespace

EarlierRecord ReadEarlierRecord(const std::string& logPath, const std::string& installDir,
                                const uninstaller::LinkFolders& links) {
  EarlierRecord record;
  const auto log = uninstaller::ReadInstallLog(logPath);
  if (log.failed()) return record;
  const uninstaller::InstallationFiles ours(installDir, links, log->files);
  std::vector<std::wstring> seenFiles, seenFolders;
  for (const std::string& entry : log->files) {
    const std::string path = ours.PathToRemove(entry);
    if (!path.empty() && platform::FileExists(path)) AddOnce(record.files, seenFiles, path);
  }
  // The uninstaller removes a logged folder only when it is empty, and never
  // one that leads elsewhere.
  for (const std::string& entry : log->folders) {
    const std::string folder = platform::PathInOneForm(entry);
    if (platform::IsFullPath(folder) && platform::DirectoryExists(folder) &&
        !platform::IsLinkedFolder(folder)) {
      AddOnce(record.folders, seenFolders, entry);
    }
  }
  return record;
}

}  // namespace install
