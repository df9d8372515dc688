// Paths are compared as paths.h compares them: in the one form the
// installation writes them in, short names spelled out, letter case ignored,
// never through a junction or symbolic link.
#include "uninstaller/installation_files.h"

#include "platform/paths.h"
#include "platform/known_folders.h"
#include "platform/link_target.h"
#include "platform/registry.h"
#include "platform/security.h"
#include "product/installation_table.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>

namespace uninstaller {
namespace {

// The names the installation gives the links and shortcut files it makes.
const product::InstallationNames kNames;

// A "Shell Folders" value of the user; when it is missing, empty or not
// text, the system's own folder, as the installation takes it: read in
// UTF-16 and held by its ANSI spelling, as install.log names it.
std::string ShellFolder(HKEY root, const std::string& explorerKey, const char* name, int csidl) {
  const platform::UniqueKey key =
      platform::OpenKey(root, explorerKey + "\\" + platform::kShellFoldersSubkey, KEY_READ);
  std::wstring folder = key ? platform::QueryWideTextValue(key.get(), name).value_or(L"") : L"";
  if (folder.empty()) folder = platform::KnownFolderPathWide(csidl);
  return platform::AnsiSpelling(folder);
}

bool SameName(const std::string& a, const std::string& b) {
  return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

// True when `target` names a file directly in `folder`.
bool LeadsInto(const std::string& target, const std::string& folder) {
  const std::string targetFolder = platform::FolderOf(target);
  return !targetFolder.empty() && platform::IsSamePath(targetFolder, folder);
}

}  // namespace

std::string StartMenuOwner(const std::string& startMenuFolder) {
  const std::string folder = platform::FolderPrefix(startMenuFolder);
  std::string owner = platform::ShellLinkTarget(folder + kNames.programLink);
  if (!owner.empty()) return owner;
  char icon[MAX_PATH] = "";
  GetPrivateProfileStringA(
      "InternetShortcut", "IconFile", "", icon, sizeof icon,
      (folder + kNames.publisherShortcut + product::ShortcutExtension).c_str());
  return icon;
}

LinkFolders SystemLinkFolders(HKEY root, const std::string& explorerKey) {
  return {ShellFolder(root, explorerKey, "Desktop", CSIDL_DESKTOPDIRECTORY),
          ShellFolder(root, explorerKey, "Programs", CSIDL_PROGRAMS)};
}

std::string RegisteredFolder(HKEY root, const std::string& uninstallKeys) {
  const platform::UniqueKey key =
      platform::OpenKey(root, uninstallKeys + "\\" + product::ShortName, KEY_READ);
  if (!key) return {};
  std::string registered = platform::QueryTextValue(key.get(), "InstallLocation").value_or("");
  if (!platform::IsFullPath(registered) ||
      !platform::FileExists(platform::FolderPrefix(registered) + "install.log")) {
    return {};
  }
  return registered;
}

InstallationLinks LinksIn(const LinkFolders& links) {
  InstallationLinks made;
  if (!links.desktop.empty()) {
    made.desktopLink = platform::FolderPrefix(links.desktop) + kNames.desktopLink;
  }
  const std::string startMenu =
      platform::FolderPrefix(links.programs + "\\" + kNames.startMenuFolder);
  // A Start-menu folder that leads elsewhere is not the one the installation made.
  if (!links.programs.empty() && !platform::IsLinkedFolder(startMenu)) {
    for (const std::string& name : kNames.StartMenuFiles())
      made.startMenu.push_back(startMenu + name);
  }
  return made;
}

InstallationFiles::InstallationFiles(const std::string& ownFolder, const LinkFolders& links,
                                     const std::vector<std::string>& logged)
    : ownFolder_(platform::ComparedForm(platform::WithoutTrailingBackslash(ownFolder))),
      ownPrefix_(platform::FolderPrefix(ownFolder)) {
  InstallationLinks made = LinksIn(links);
  if (!made.desktopLink.empty()) AddLink(std::move(made.desktopLink));
  for (std::string& path : made.startMenu) AddLink(std::move(path));
  for (const std::string& entry : logged) {
    if (IsRecordedLink(entry, ownFolder)) AddLink(platform::PathInOneForm(entry));
  }
}

void InstallationFiles::AddLink(std::string path) {
  std::wstring compared = platform::ComparedForm(path);
  if (compared.empty()) return;
  for (const auto& known : links_) {
    if (platform::SameComparedForm(known.first, compared)) return;
  }
  links_.emplace_back(std::move(compared), std::move(path));
}

// The link is read, not trusted by its name: anyone who may write to the
// log may name any file, but only the installation's links start its program.
bool InstallationFiles::IsRecordedLink(const std::string& path,
                                       const std::string& ownFolder) const {
  if (!platform::IsFullPath(path)) return false;
  const std::string full = platform::PathInOneForm(path);
  const std::string folder = platform::FolderOf(full);
  const std::string name = full.substr(platform::LastBackslash(full) + 1);
  if (folder.empty() || platform::IsLinkedFolder(folder)) return false;
  if (SameName(name, kNames.desktopLink) && LeadsInto(platform::ShellLinkTarget(full), ownFolder)) {
    return true;
  }
  if (!SameName(folder.substr(platform::LastBackslash(folder) + 1), kNames.startMenuFolder)) {
    return false;
  }
  const auto names = kNames.StartMenuFiles();
  return std::any_of(names.begin(), names.end(),
                     [&](const std::string& made) { return SameName(name, made); }) &&
         LeadsInto(StartMenuOwner(folder), ownFolder);
}

std::string InstallationFiles::PathToRemove(const std::string& entry) const {
  const std::wstring compared = platform::ComparedForm(entry);
  if (compared.empty() || ownFolder_.empty()) return {};
  for (const auto& [link, path] : links_) {
    if (platform::SameComparedForm(compared, link)) return path;
  }
  const std::string full = platform::PathInOneForm(entry);
  const std::string name = full.substr(platform::LastBackslash(full) + 1);
  // A name with a colon would reach a stream of the file, not the file.
  if (name.empty() || name.find(':') != std::string::npos) return {};
  if (!platform::SameComparedForm(platform::ComparedForm(platform::FolderOf(full)), ownFolder_)) {
    return {};
  }
  return ownPrefix_ + name;
}

}  // namespace uninstaller
