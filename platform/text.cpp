#include "platform/text.h"

#include <windows.h>

namespace platform {

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

std::wstring AnsiToWide(std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
  return wide;
}

std::string WideToAnsi(std::wstring_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length =
      WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string ansi(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), size, ansi.data(), length, nullptr, nullptr);
  return ansi;
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

bool IsFullyQualified(std::string_view path) {
  const auto separator = [](char c) { return c == '\\' || c == '/'; };
  if (path.size() >= 2 && separator(path[0]) && separator(path[1])) return true;
  const char drive = static_cast<char>(path.empty() ? 0 : path[0] | 0x20);
  return path.size() >= 3 && drive >= 'a' && drive <= 'z' && path[1] == ':' && separator(path[2]);
}

}  // namespace platform
