#include "install/destination_guard.h"

#include "platform/error.h"
#include "platform/security.h"
#include "platform/text.h"

#include <windows.h>

namespace install {
namespace {

// Where the levels begin: after "X:\" or "\\server\share\".
size_t RootLength(const std::string& folder) {
  if (folder.size() >= 3 && folder[1] == ':') return 3;
  size_t end = 1;
  for (int backslashes = 0; backslashes < 3 && end != std::string::npos; ++backslashes) {
    end = folder.find('\\', end + 1);
  }
  return end == std::string::npos ? folder.size() : end + 1;
}

// Each level's path without its trailing backslash, from the top down. A
// backslash byte that ends a double-byte character separates nothing.
std::vector<std::string> Levels(const std::string& folder) {
  std::vector<std::string> levels;
  for (size_t i = RootLength(folder); i < folder.size(); ++i) {
    if (folder[i] == '\\') {
      levels.push_back(folder.substr(0, i));
    } else if (IsDBCSLeadByteEx(CP_ACP, static_cast<BYTE>(folder[i]))) {
      ++i;
    }
  }
  return levels;
}

std::string WithoutTrailingBackslash(const std::string& folder) {
  return folder.size() > 3 && platform::EndsWithBackslash(folder)
             ? folder.substr(0, folder.size() - 1)
             : folder;
}

}  // namespace

DestinationFacts ReadDestinationFacts(const std::string& folder) {
  DestinationFacts facts;
  for (const std::string& level : Levels(folder)) {
    if (!platform::DirectoryExists(level)) break;
    facts.existingLevels.emplace_back(level, platform::IsLinkedFolder(level));
  }
  facts.exists = platform::DirectoryExists(folder);
  facts.trustedOwner = facts.exists && platform::HasTrustedOwner(WithoutTrailingBackslash(folder));
  return facts;
}

std::string DestinationRefusal(const std::string& folder, const DestinationFacts& facts) {
  const std::string destination = WithoutTrailingBackslash(folder);
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
