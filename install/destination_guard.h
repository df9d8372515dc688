// An installation with administrator rights writes programs an administrator
// will run again with those rights, so it uses only a destination no other
// user controls: no junction or symbolic link on the way, every existing
// level owned by the administrators, the system or the installing user (the
// owner of a parent may rename the product's folder and put another in its
// place), and a new folder made with an access list of its own instead of
// its parent's.
#pragma once

#include "platform/unique_resource.h"

#include <string>
#include <vector>

namespace install {

struct ExistingLevel {
  std::string path;
  bool linked = false;        // a junction or symbolic link
  bool trustedOwner = false;  // owned by no one another user can be
  bool operator==(const ExistingLevel&) const = default;
};

struct DestinationFacts {
  // The levels that exist, from the one below the drive or share down; the
  // last is the destination itself when it exists.
  std::vector<ExistingLevel> existingLevels;
  bool exists = false;  // the destination itself
};

// `folder`: a resolved destination with its trailing backslash.
DestinationFacts ReadDestinationFacts(const std::string& folder);

// Why an elevated installation may not use the destination, naming it;
// empty when it may.
std::string DestinationRefusal(const std::string& folder, const DestinationFacts& facts);

// The existing destination opened as itself (never through a link) and
// held without leave to delete it, so that no one can rename it or put
// another folder in its place while the handle lasts. Raises the refusal
// when what is there is a link or another user's, or cannot be opened.
platform::UniqueFile HoldDestination(const std::string& folder);

}  // namespace install
