// Paths are compared as paths.h compares them: in the one form the
// installation writes them in, short names spelled out, letter case ignored,
// never through a junction or symbolic link.
#include "uninstaller/installation_files.h"

#include "platform/paths.h"
#include "platform/known_folders.h"
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
// text, the system's own folder, as the installation takes it.
std::string ShellFolder(HKEY root, const std::string& explorerKey, const char* name, int csidl) {
  const platform::UniqueKey key =
      platform::OpenKey(root, explorerKey + "\\" + platform::kShellFoldersSubkey, KEY_READ);
  std::string folder = key ? platform::QueryTextValue(key.get(), name).value_or("") : "";
  return folder.empty() ? platform::KnownFolderPath(csidl) : folder;
}

}  // namespace

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

InstallationFiles::InstallationFiles(const std::string& ownFolder, const LinkFolders& links)
    : ownFolder_(platform::ComparedForm(platform::WithoutTrailingBackslash(ownFolder))),
      ownPrefix_(platform::FolderPrefix(ownFolder)) {
  InstallationLinks made = LinksIn(links);
  std::vector<std::string> paths = std::move(made.startMenu);
  if (!made.desktopLink.empty()) paths.insert(paths.begin(), std::move(made.desktopLink));
  for (std::string& path : paths) {
    std::wstring compared = platform::ComparedForm(path);
    if (!compared.empty()) links_.emplace_back(std::move(compared), std::move(path));
  }
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
