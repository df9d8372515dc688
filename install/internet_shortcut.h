// The text of an internet shortcut (.url) file.
#pragma once

#include <string>

namespace install {

// "[DEFAULT]", "BASEURL=" url, "[InternetShortcut]", "URL=" url, then, only
// when `iconFile` is not empty, "IconIndex=" index and "IconFile=" iconFile;
// every line ends in CR LF, with no blank line and no terminating zero.
std::string InternetShortcutText(const std::string& url, const std::string& iconFile,
                                 int iconIndex);

}  // namespace install
