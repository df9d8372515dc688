// What an installation makes besides its payload and run-time files (both
// in product_definition.h), each named once: the installer makes these,
// and the uninstaller removes a logged link or shortcut file only when it is
// one of them, in the folder the system names for it.
#pragma once

#include "product/product_definition.h"

#include <array>
#include <string>

namespace product {

inline constexpr const char* HelpLinkDescription = "Quick help";
// What follows an internet shortcut's name on disk.
inline constexpr const char* ShortcutExtension = ".url";

struct InstallationNames {
  // The desktop link, in the user's desktop folder.
  std::string desktopLink = std::string(ShortName) + ".lnk";
  // The product's folder inside the Start menu's programs folder, and the
  // two links made in it: the main program's, then the help text's.
  std::string startMenuFolder = ShortName;
  std::string programLink = std::string(ShortName) + ".lnk";
  std::string helpLink = std::string(HelpLinkDescription) + ".lnk";
  // The internet shortcuts, in the Start-menu folder with Start-menu icons,
  // else in the destination; each followed by ShortcutExtension on disk.
  std::string publisherShortcut = PublisherPageName;
  std::string productShortcut = std::string(ShortName) + " web page";

  // Every file the Start-menu folder receives, in the order they are made.
  std::array<std::string, 4> StartMenuFiles() const {
    return {programLink, helpLink, publisherShortcut + ShortcutExtension,
            productShortcut + ShortcutExtension};
  }
};

}  // namespace product
