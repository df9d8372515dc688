// An installation with administrator rights writes programs an administrator
// will run again with those rights, so it uses only a destination no other
// user controls: no junction or symbolic link on the way, an existing folder
// owned by the administrators, the system or the installing user, and a new
// one made with an access list of its own instead of its parent's.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace install {

struct DestinationFacts {
  // The levels that exist, from the one below the drive or share down, each
  // with whether it is a junction or symbolic link.
  std::vector<std::pair<std::string, bool>> existingLevels;
  bool exists = false;        // the destination itself
  bool trustedOwner = false;  // its owner, when it exists
};

// `folder`: a resolved destination with its trailing backslash.
DestinationFacts ReadDestinationFacts(const std::string& folder);

// Why an elevated installation may not use the destination, naming it;
// empty when it may.
std::string DestinationRefusal(const std::string& folder, const DestinationFacts& facts);

}  // namespace install
