#include "platform/folder_path.h"

#include "platform/text.h"

#include <windows.h>

#include <string_view>
#include <vector>

namespace platform {
namespace {

bool IsSeparator(wchar_t c) {
  return c == L'\\' || c == L'/';
}

bool SameName(std::wstring_view a, std::wstring_view b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// The names the system reads as a device in any folder, whatever extension
// follows them and with blanks before it.
bool IsDeviceName(std::wstring_view name) {
  name = name.substr(0, name.find(L'.'));
  while (!name.empty() && name.back() == L' ') name.remove_suffix(1);
  for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"}) {
    if (SameName(name, device)) return true;
  }
  if (name.size() != 4) return false;
  const bool port = SameName(name.substr(0, 3), L"COM") || SameName(name.substr(0, 3), L"LPT");
  const wchar_t digit = name[3];
  return port && ((digit >= L'0' && digit <= L'9') || digit == L'\u00B9' || digit == L'\u00B2' ||
                  digit == L'\u00B3');
}

bool IsBlanksAndDots(std::wstring_view name) {
  return !name.empty() && name.find_first_not_of(L" .") == std::wstring_view::npos;
}

// The levels of a text, split at either separator; empty ones left out.
std::vector<std::wstring_view> Levels(std::wstring_view path) {
  std::vector<std::wstring_view> levels;
  size_t start = 0;
  for (size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || IsSeparator(path[i])) {
      if (i > start) levels.push_back(path.substr(start, i - start));
      start = i + 1;
    }
  }
  return levels;
}

// A level of blanks and dots other than "." and ".." would vanish when the
// folder is made, leaving its parent as the destination.
bool HasVanishingLevel(std::wstring_view typed) {
  for (std::wstring_view level : Levels(typed)) {
    if (IsBlanksAndDots(level) && level != L"." && level != L"..") return true;
  }
  return false;
}

std::wstring FullPath(const std::wstring& path) {
  std::wstring full(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0) return {};
    if (length < full.size()) return full.substr(0, length);
    full.resize(length);  // the length asked for includes the terminator
  }
}

// Where the levels of a full path begin: after "X:\" or "\\server\share\";
// npos for any other form.
size_t RootLength(const std::wstring& full) {
  if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\') return 3;
  if (full.size() < 3 || full[0] != L'\\' || full[1] != L'\\' || full[2] == L'?' ||
      full[2] == L'.') {
    return std::wstring::npos;
  }
  const size_t share = full.find(L'\\', 2);
  const size_t end = share == std::wstring::npos ? share : full.find(L'\\', share + 1);
  return end == std::wstring::npos ? full.size() : end + 1;
}

// The text without separators at its end, except the one after a drive.
std::wstring WithoutTrailingSeparators(std::wstring text) {
  while (text.size() > 1 && IsSeparator(text.back()) && text[text.size() - 2] != L':') {
    text.pop_back();
  }
  return text;
}

}  // namespace

std::string ResolvedFolder(const std::string& text) {
  const std::wstring typed = AnsiToWide(text);
  if (HasVanishingLevel(typed)) return {};
  const std::wstring full = FullPath(WithoutTrailingSeparators(typed));
  const size_t root = RootLength(full);
  if (root == std::wstring::npos) return {};
  std::wstring resolved = full.substr(0, root);
  if (resolved.back() != L'\\') resolved.push_back(L'\\');  // "\\server\share" alone
  for (std::wstring_view level : Levels(std::wstring_view(full).substr(root))) {
    while (!level.empty() && (level.back() == L' ' || level.back() == L'.')) level.remove_suffix(1);
    if (level.empty() || IsDeviceName(level) || level.find(L':') != std::wstring_view::npos) {
      return {};
    }
    resolved.append(level).push_back(L'\\');
  }
  return WideToAnsi(resolved);
}

}  // namespace platform
