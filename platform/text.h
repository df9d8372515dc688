// Conversion between the ANSI text the program holds (the system's code page)
// and the UTF-16 text the system's wide calls take. Paths: paths.h.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Conversions with the system's ANSI code page; characters without a mapping
// become the code page's default character.
std::wstring AnsiToWide(std::string_view text);
std::string WideToAnsi(std::wstring_view text);

}  // namespace platform
