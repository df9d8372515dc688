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
    facts.existingLevels.emplace_back(level, platform::IsLinkedFolder(level));
  }
  facts.exists = platform::DirectoryExists(folder);
  facts.trustedOwner =
      facts.exists && platform::HasTrustedOwner(platform::WithoutTrailingBackslash(folder));
  return facts;
}

std::string DestinationRefusal(const std::string& folder, const DestinationFacts& facts) {
  const std::string destination = platform::WithoutTrailingBackslash(folder);
  for (const auto& [level, linked] : facts.existingLevels) {
    if (!linked) continue;
    if (level == destination) {
      return platform::Format("Cannot install into %s: it is a junction or symbolic link",
                              destination.c_str());
    }
    return platform::Format("Cannot install into %s: it lies under %s, a junction or symbolic link",
                            destination.c_str(), level.c_str());
  }
  if (facts.exists && !facts.trustedOwner) {
    return platform::Format("Cannot install into %s: it belongs to another user",
                            destination.c_str());
  }
  return {};
}

}  // namespace install
