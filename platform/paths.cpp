#include "platform/paths.h"

#include "platform/text.h"

#include <windows.h>

#include <algorithm>
#include <optional>
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

// The names of a text's levels, split at either separator; empty ones left out.
std::vector<std::wstring_view> LevelNames(std::wstring_view path) {
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
  for (std::wstring_view level : LevelNames(typed)) {
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
size_t RootLength(std::wstring_view full) {
  if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\') return 3;
  if (full.size() < 3 || full[0] != L'\\' || full[1] != L'\\' || full[2] == L'?' ||
      full[2] == L'.') {
    return std::wstring::npos;
  }
  const size_t share = full.find(L'\\', 2);
  const size_t end = share == std::wstring_view::npos ? share : full.find(L'\\', share + 1);
  return end == std::wstring_view::npos ? full.size() : end + 1;
}

// The text without separators at its end, except the one after a drive.
std::wstring WithoutTrailingSeparators(std::wstring text) {
  while (text.size() > 1 && IsSeparator(text.back()) && text[text.size() - 2] != L':') {
    text.pop_back();
  }
  return text;
}

// ResolvedFolder on UTF-16 text.
std::wstring Resolved(const std::wstring& typed) {
  if (HasVanishingLevel(typed)) return {};
  const std::wstring full = FullPath(WithoutTrailingSeparators(typed));
  const size_t root = RootLength(full);
  if (root == std::wstring::npos) return {};
  std::wstring resolved = full.substr(0, root);
  if (resolved.back() != L'\\') resolved.push_back(L'\\');  // "\\server\share" alone
  for (std::wstring_view level : LevelNames(std::wstring_view(full).substr(root))) {
    while (!level.empty() && (level.back() == L' ' || level.back() == L'.')) level.remove_suffix(1);
    if (level.empty() || IsDeviceName(level) || level.find(L':') != std::wstring_view::npos) {
      return {};
    }
    resolved.append(level).push_back(L'\\');
  }
  return resolved;
}

// The one form of a full path (see ResolvedFolder), no trailing backslash
// but a drive root's; empty when it is no full path of the forms the
// installation writes or no file could be made under that name.
std::wstring OneForm(const std::string& path) {
  const std::wstring typed = AnsiToWide(path);
  std::wstring wide = typed;
  std::replace(wide.begin(), wide.end(), L'/', L'\\');
  if (RootLength(wide) == std::wstring::npos) return {};
  std::wstring full = Resolved(typed);
  if (full.size() > 3) full.pop_back();
  return full;
}

// The full path with short names spelled out as far as the path exists.
std::wstring LongPath(const std::wstring& full) {
  std::wstring spelled(full.size() + MAX_PATH, L'\0');
  const DWORD length =
      GetLongPathNameW(full.c_str(), spelled.data(), static_cast<DWORD>(spelled.size()));
  if (length > 0 && length < spelled.size()) return spelled.substr(0, length);
  const size_t backslash = full.find_last_of(L'\\');
  if (backslash == std::wstring::npos || backslash < 3) return full;
  return LongPath(full.substr(0, backslash)) + full.substr(backslash);
}

}  // namespace

size_t LastBackslash(std::string_view text) {
  // Walk whole characters so that a trail byte is never mistaken for one.
  size_t last = std::string_view::npos;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<BYTE>(text[i]);
    if (byte == '\\') {
      last = i;
    } else if (IsDBCSLeadByteEx(CP_ACP, byte) && i + 1 < text.size()) {
      ++i;
    }
  }
  return last;
}

bool EndsWithBackslash(std::string_view text) {
  return !text.empty() && LastBackslash(text) == text.size() - 1;
}

std::string WithoutTrailingBackslash(std::string folder) {
  while (folder.size() > 3 && EndsWithBackslash(folder)) folder.pop_back();
  return folder;
}

std::string FolderPrefix(std::string folder) {
  if (!EndsWithBackslash(folder)) folder += '\\';
  return folder;
}

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string FullPathName(const std::string& path) {
  const DWORD needed = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return path;
  std::string full(needed, '\0');
  const DWORD length = GetFullPathNameA(path.c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed) return path;
  full.resize(length);
  return full;
}

bool IsFullyQualified(std::string_view text) {
  const auto separator = [](char c) { return c == '\\' || c == '/'; };
  if (text.size() >= 2 && separator(text[0]) && separator(text[1])) return true;
  const char drive = static_cast<char>(text.empty() ? 0 : text[0] | 0x20);
  return text.size() >= 3 && drive >= 'a' && drive <= 'z' && text[1] == ':' && separator(text[2]);
}

bool IsFullPath(std::string_view path) {
  return RootLength(AnsiToWide(path)) != std::wstring_view::npos;
}

std::string FolderOf(const std::string& path) {
  const size_t backslash = LastBackslash(path);
  if (backslash == std::string::npos) return {};
  return path.substr(0, backslash == 2 ? 3 : backslash);
}

std::vector<std::string> Levels(const std::string& path) {
  const std::wstring wide = AnsiToWide(path);
  std::vector<std::string> levels;
  const size_t root = RootLength(wide);
  if (root == std::wstring::npos) return levels;
  for (size_t i = root; i <= wide.size(); ++i) {
    if ((i == wide.size() || wide[i] == L'\\') && i > root && wide[i - 1] != L'\\') {
      levels.push_back(WideToAnsi(std::wstring_view(wide).substr(0, i)));
    }
  }
  return levels;
}

std::string PathInOneForm(const std::string& path) {
  const std::wstring full = OneForm(path);
  return full.empty() ? path : WideToAnsi(full);
}

std::wstring ComparedForm(const std::string& path) {
  const std::wstring full = OneForm(path);
  return full.empty() ? full : LongPath(full);
}

bool SameComparedForm(const std::wstring& a, const std::wstring& b) {
  return !a.empty() && !b.empty() && SameName(a, b);
}

bool IsSamePath(const std::string& a, const std::string& b) {
  return SameComparedForm(ComparedForm(a), ComparedForm(b));
}

std::string ResolvedFolder(const std::string& text) {
  return WideToAnsi(Resolved(AnsiToWide(text)));
}

namespace {

// The text in the code page, only when it converts back to the same
// characters: a character the code page lacks would name another file.
std::optional<std::string> ExactAnsi(std::wstring_view text) {
  std::string ansi = WideToAnsi(text);
  if (AnsiToWide(ansi) != text) return std::nullopt;
  return ansi;
}

// GetShortPathNameW for a path that exists; empty otherwise.
std::wstring ShortPath(const std::wstring& path) {
  const DWORD size = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (size == 0) return {};
  std::wstring shortPath(size, L'\0');
  const DWORD length = GetShortPathNameW(path.c_str(), shortPath.data(), size);
  if (length == 0 || length >= size) return {};
  shortPath.resize(length);
  return shortPath;
}

}  // namespace

std::string AnsiSpelling(std::wstring_view path) {
  if (std::optional<std::string> exact = ExactAnsi(path)) return *exact;
  // Level by level: a name the code page spells stays as it is, another
  // takes its short name, which only a level that exists has.
  const std::wstring text(path);
  std::wstring spelled;
  for (size_t start = 0; start <= text.size();) {
    const size_t end = std::min(text.find(L'\\', start), text.size());
    std::wstring level = text.substr(start, end - start);
    if (!ExactAnsi(level)) {
      const std::wstring shortPath = ShortPath(text.substr(0, end));
      if (shortPath.empty()) return {};
      level = shortPath.substr(shortPath.find_last_of(L'\\') + 1);
    }
    spelled += level;
    if (end < text.size()) spelled += L'\\';
    start = end + 1;
  }
  return ExactAnsi(spelled).value_or("");
}

}  // namespace platform
