#include "install/destination_guard.h"

#include "platform/error.h"
#include "platform/security.h"
#include "platform/paths.h"

#include <windows.h>

namespace install {

DestinationFacts ReadDestinationFacts(const std::string& folder) {
  DestinationFacts facts;
  for (const std::string& level : platform::Levels(folder)) {
    if (!platform::DirectoryExists(level)) break;
    facts.existingLevels.push_back(
        {level, platform::IsLinkedFolder(level), platform::HasTrustedOwner(level)});
  }
  facts.exists = platform::DirectoryExists(folder);
  return facts;
}

std::string DestinationRefusal(const std::string& folder, const DestinationFacts& facts) {
  const std::string destination = platform::WithoutTrailingBackslash(folder);
  for (const ExistingLevel& level : facts.existingLevels) {
    if (!level.linked) continue;
    if (level.path == destination) {
      return platform::Format("Cannot install into %s: it is a junction or symbolic link",
                              destination.c_str());
    }
    return platform::Format("Cannot install into %s: it lies under %s, a junction or symbolic link",
                            destination.c_str(), level.path.c_str());
  }
  for (const ExistingLevel& level : facts.existingLevels) {
    if (level.trustedOwner) continue;
    if (level.path == destination) {
      return platform::Format("Cannot install into %s: it belongs to another user",
                              destination.c_str());
    }
    return platform::Format(
        "Cannot install into %s: it lies under %s, which belongs to another user",
        destination.c_str(), level.path.c_str());
  }
  return {};
}

namespace {

[[noreturn]] void RaiseCannotUse(const std::string& destination, const char* function) {
  const DWORD error = GetLastError();
  platform::Raise(platform::Format("Cannot install into %s: %s", destination.c_str(),
                                   platform::SystemErrorText(error).c_str()),
                  platform::Win32Failure(function, error));
}

}  // namespace

platform::UniqueFile HoldDestination(const std::string& folder) {
  const std::string destination = platform::WithoutTrailingBackslash(folder);
  platform::UniqueFile held(CreateFileA(
      destination.c_str(), FILE_READ_ATTRIBUTES | READ_CONTROL, FILE_SHARE_READ | FILE_SHARE_WRITE,
      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!held) RaiseCannotUse(destination, "CreateFileA");
  BY_HANDLE_FILE_INFORMATION information{};
  if (!GetFileInformationByHandle(held.get(), &information)) {
    RaiseCannotUse(destination, "GetFileInformationByHandle");
  }
  if ((information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
      !(information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    platform::Raise(platform::Format("Cannot install into %s: it is a junction or symbolic link",
                                     destination.c_str()));
  }
  if (!platform::HasTrustedOwner(held.get())) {
    platform::Raise(platform::Format("Cannot install into %s: it belongs to another user",
                                     destination.c_str()));
  }
  return held;
}

}  // namespace install
