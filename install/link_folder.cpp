#include "install/link_folder.h"

namespace install {
namespace {

constexpr size_t kNone = std::string_view::npos;

bool IsSeparator(char byte) {
  return byte == '\\' || byte == ':';
}

}  // namespace

std::string LinkFolder(std::string_view linkPath, UINT codePage) {
  size_t cut = 0;            // length up to and including the last separator
  size_t beforeCut = kNone;  // where the character before that separator starts
  size_t previous = kNone;   // where the character before the current one starts
  for (size_t i = 0; i < linkPath.size();) {
    const auto byte = static_cast<BYTE>(linkPath[i]);
    const bool doubleByte = IsDBCSLeadByteEx(codePage, byte) && i + 1 < linkPath.size();
    if (!doubleByte && IsSeparator(linkPath[i])) {
      cut = i + 1;
      beforeCut = previous;
    }
    previous = i;
    i += doubleByte ? 2 : 1;
  }
  std::string folder(linkPath.substr(0, cut));
  // A root ("C:\", "\") and a doubled backslash keep their backslash; a
  // double-byte character before it counts as an ordinary character.
  const bool keepsBackslash =
      beforeCut == kNone || (IsSeparator(linkPath[beforeCut]) && beforeCut + 1 == cut - 1);
  if (!folder.empty() && folder.back() == '\\' && !keepsBackslash) folder.pop_back();
  return folder;
}

}  // namespace install
