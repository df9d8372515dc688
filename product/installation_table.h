// What an installation makes besides its payload and run-time files (both
// in product_definition.h), each named once: the installer makes these,
// and the uninstaller removes a logged link or shortcut file only when it is
// one of them, in the folder the system names for it.
#pragma once

#include "product/product_definition.h"

#include <array>
#include <string>

namespace product {

// The desktop link, in the user's desktop folder.
inline std::string DesktopLinkName() {
  return std::string(ShortName) + ".lnk";
}

// The product's folder inside the Start menu's programs folder.
inline std::string StartMenuFolderName() {
  return ShortName;
}
// The two links made in it: the main program's, then the help text's.
inline std::string ProgramLinkName() {
  return std::string(ShortName) + ".lnk";
}
inline constexpr const char* HelpLinkDescription = "Quick help";
inline std::string HelpLinkName() {
  return std::string(HelpLinkDescription) + ".lnk";
}

// The internet shortcuts, in the Start-menu folder with Start-menu icons,
// else in the destination; each name is followed by ".url" on disk.
inline std::string PublisherShortcutName() {
  return PublisherPageName;
}
inline std::string ProductShortcutName() {
  return std::string(ShortName) + " web page";
}
inline constexpr const char* ShortcutExtension = ".url";

// Every file the Start-menu folder receives, in the order they are made.
inline std::array<std::string, 4> StartMenuFiles() {
  return {ProgramLinkName(), HelpLinkName(), PublisherShortcutName() + ShortcutExtension,
          ProductShortcutName() + ShortcutExtension};
}

}  // namespace product
