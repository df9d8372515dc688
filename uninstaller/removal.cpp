// The removal itself. Every step goes on after a failure, so that one file
// in use keeps only itself (and the folders holding it) on the machine.
#include "uninstaller/removal.h"

#include "platform/error.h"
#include "platform/link_target.h"
#include "platform/registry.h"
#include "platform/security.h"
#include "platform/paths.h"
#include "platform/unique_resource.h"
#include "product/product_definition.h"

#include <algorithm>

namespace uninstaller {
namespace {

constexpr size_t MaxNamesShown = 5;

// Only full paths are acted on: a relative entry would be resolved against
// whatever the current folder happens to be.
using platform::IsFullPath;
using platform::IsSamePath;

bool IsGone(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Never empty, since an empty reason would read as success.
std::string Reason(DWORD error) {
  std::string text = platform::SystemErrorText(error);
  return text.empty() ? platform::Format("error %lu", static_cast<unsigned long>(error)) : text;
}

std::vector<std::string> FolderContents(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA entry;
  platform::UniqueFind find(FindFirstFileA((folder + "\\*").c_str(), &entry));
  if (!find) return names;
  do {
    const std::string name = entry.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(find.get(), &entry));
  return names;
}

// The logged folders still there, each once, with what keeps them.
std::vector<FolderKept> FoldersStillThere(const std::vector<std::string>& folders) {
  std::vector<FolderKept> kept;
  for (const std::string& logged : folders) {
    const std::string folder = platform::WithoutTrailingBackslash(logged);
    if (!IsFullPath(folder) || !platform::DirectoryExists(folder)) continue;
    if (platform::IsLinkedFolder(folder)) continue;  // not entered: named among what was left alone
    if (std::any_of(kept.begin(), kept.end(),
                    [&](const FolderKept& k) { return IsSamePath(k.path, folder); })) {
      continue;
    }
    kept.push_back({folder, FolderContents(folder)});
  }
  return kept;
}

// The logged folders that are junctions or links, each once.
std::vector<std::string> LinkedFolders(const std::vector<std::string>& folders) {
  std::vector<std::string> linked;
  for (const std::string& logged : folders) {
    const std::string folder = platform::WithoutTrailingBackslash(logged);
    if (!IsFullPath(folder) || !platform::IsLinkedFolder(folder)) continue;
    const auto same = [&](const std::string& l) { return IsSamePath(l, folder); };
    if (std::none_of(linked.begin(), linked.end(), same)) linked.push_back(folder);
  }
  return linked;
}

void RemoveLoggedFiles(const std::vector<std::string>& files, const InstallationFiles& ours,
                       const std::vector<std::string>& othersLinks, RemovalReport& report) {
  for (const std::string& file : files) {
    const std::string path = ours.PathToRemove(file);
    if (path.empty()) {
      report.leftAlone.push_back(file);
      continue;
    }
    if (std::any_of(othersLinks.begin(), othersLinks.end(),
                    [&](const std::string& link) { return IsSamePath(link, path); })) {
      report.othersLinks.push_back(path);
      continue;
    }
    std::string reason = DeleteLoggedFile(path);
    if (!reason.empty()) report.files.push_back({path, std::move(reason)});
  }
}

// True when `target` names a file outside `ownFolder`; false for none.
bool LeadsElsewhere(const std::string& target, const std::string& ownFolder) {
  const std::string folder = platform::FolderOf(target);
  return !folder.empty() && !IsSamePath(folder, ownFolder);
}

}  // namespace

std::string RegisteredElsewhere(const UninstallKeyLocation& location,
                                const std::string& ownFolder) {
  std::string registered = RegisteredFolder(location.root, location.parentPath);
  return registered.empty() || IsSamePath(registered, ownFolder) ? std::string() : registered;
}

UninstallKeyLocation EntryLocationFor(const std::string& ownFolder,
                                      const UninstallKeyLocation& user,
                                      const UninstallKeyLocation& machine) {
  const std::string registered = RegisteredFolder(user.root, user.parentPath);
  return !registered.empty() && IsSamePath(registered, ownFolder) ? user : machine;
}

std::vector<std::string> OtherInstallationsLinks(const std::string& ownFolder,
                                                 const LinkFolders& links) {
  const InstallationLinks made = LinksIn(links);
  std::vector<std::string> others;
  if (!made.desktopLink.empty() &&
      LeadsElsewhere(platform::ShellLinkTarget(made.desktopLink), ownFolder)) {
    others.push_back(made.desktopLink);
  }
  if (made.startMenu.empty()) return others;
  if (LeadsElsewhere(StartMenuOwner(platform::FolderOf(made.startMenu[0])), ownFolder)) {
    others.insert(others.end(), made.startMenu.begin(), made.startMenu.end());
  }
  return others;
}

std::string DeleteLoggedFile(const std::string& path) {
  if (!IsFullPath(path)) return "not a full path, left alone";
  if (DeleteFileA(path.c_str())) return {};
  DWORD error = GetLastError();
  if (IsGone(error)) return {};
  const DWORD attributes = GetFileAttributesA(path.c_str());
  // A link's attributes may be those of whatever it points to: left as they are.
  constexpr DWORD NotAPlainFile = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
  if (error == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & FILE_ATTRIBUTE_READONLY) && !(attributes & NotAPlainFile)) {
    // Whether the attribute could be cleared shows in the second attempt.
    SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    if (DeleteFileA(path.c_str())) return {};
    error = GetLastError();
    // Put the attribute back on the file that stays; not examined on purpose.
    SetFileAttributesA(path.c_str(), attributes);
  }
  return Reason(error);
}

void RemoveEmptyFolders(const std::vector<std::string>& folders) {
  for (bool removedOne = true; removedOne;) {
    removedOne = false;
    for (const std::string& logged : folders) {
      const std::string folder = platform::WithoutTrailingBackslash(logged);
      // A junction or link would go whatever the folder it leads to holds.
      if (!IsFullPath(folder) || platform::IsLinkedFolder(folder)) continue;
      // RemoveDirectoryA removes only an empty folder: one that still holds
      // anything fails and stays, which is what is wanted here.
      if (RemoveDirectoryA(folder.c_str())) removedOne = true;
    }
  }
}

std::string RemoveUninstallKey(const UninstallKeyLocation& location, const std::string& shortName) {
  if (shortName.empty() || shortName.find('\\') != std::string::npos) return {};
  const std::string path = location.parentPath + "\\" + shortName;
  const LSTATUS status = RegDeleteKeyA(location.root, path.c_str());
  if (status == ERROR_SUCCESS || IsGone(status)) return {};
  return Reason(static_cast<DWORD>(status));
}

RemovalReport RemoveInstallation(const InstallLogContents& log, const std::string& logFolder,
                                 const std::string& uninstallerName,
                                 const UninstallKeyLocation& location, const LinkFolders& links) {
  RemovalReport report;
  // Read before anything goes: deleting a link loses where it led.
  RemoveLoggedFiles(log.files, InstallationFiles(logFolder, links, log.files),
                    OtherInstallationsLinks(logFolder, links), report);
  std::vector<std::string> folders;
  for (const std::string& logged : log.folders) folders.push_back(platform::PathInOneForm(logged));
  RemoveEmptyFolders(folders);
  // The product's own name: the log lies where others may write, and its
  // ShortName could name another product's entry.
  report.entryOwner = RegisteredElsewhere(location, logFolder);
  if (report.entryOwner.empty())
    report.keyFailure = RemoveUninstallKey(location, product::ShortName);
  // The log and the uninstaller go last, so that an interrupted removal can
  // be started again; they are this program's own even when not logged.
  const std::string folder = platform::FolderPrefix(logFolder);
  for (const std::string& own : {folder + "install.log", folder + uninstallerName}) {
    std::string reason = DeleteLoggedFile(own);
    const bool reported =
        std::any_of(report.files.begin(), report.files.end(),
                    [&](const FileNotRemoved& f) { return IsSamePath(f.path, own); });
    if (!reason.empty() && !reported) report.files.push_back({own, std::move(reason)});
  }
  RemoveEmptyFolders(folders);
  report.folders = FoldersStillThere(folders);
  // A folder kept only by another installation's links is that one's now.
  for (FolderKept& kept : report.folders) {
    std::erase_if(kept.contents, [&](const std::string& name) {
      return std::any_of(
          report.othersLinks.begin(), report.othersLinks.end(),
          [&](const std::string& link) { return IsSamePath(link, kept.path + "\\" + name); });
    });
  }
  std::erase_if(report.folders, [](const FolderKept& kept) { return kept.contents.empty(); });
  const std::vector<std::string> linked = LinkedFolders(folders);
  report.leftAlone.insert(report.leftAlone.end(), linked.begin(), linked.end());
  return report;
}

std::string DescribeReport(const InstallLogContents& log, const RemovalReport& report) {
  const std::string product = log.fullName + (log.version.empty() ? "" : " " + log.version);
  std::string text = product + " was removed from this computer" +
                     (report.Complete() ? "." : ", except for what is listed here.");
  if (!report.entryOwner.empty()) {
    text += "\n\nThe entry in the list of installed programs belongs to the installation in " +
            report.entryOwner + " and was kept.";
  }
  if (!report.othersLinks.empty()) {
    text += "\n\nThese links start another installation of " + log.fullName + " and were kept:";
    for (const std::string& link : report.othersLinks) text += "\n" + link;
  }
  if (!report.files.empty()) {
    text += "\n\nThese files could not be removed:";
    for (const FileNotRemoved& file : report.files) {
      text += "\n" + file.path + " (" + file.reason + ")";
    }
  }
  if (!report.folders.empty()) {
    text += "\n\nThese folders still hold files and were kept:";
    for (const FolderKept& folder : report.folders) {
      text += "\n" + folder.path + ":";
      for (size_t i = 0; i < folder.contents.size() && i < MaxNamesShown; ++i) {
        text += (i ? ", " : " ") + folder.contents[i];
      }
      if (folder.contents.size() > MaxNamesShown) text += ", ...";
    }
  }
  if (!report.leftAlone.empty()) {
    text += "\n\nThese are not part of the installation and were left alone:";
    for (const std::string& entry : report.leftAlone) text += "\n" + entry;
  }
  if (!report.keyFailure.empty()) {
    text += "\n\nThe entry in the list of installed programs could not be removed (" +
            report.keyFailure + ").";
  }
  return text;
}

}  // namespace uninstaller
