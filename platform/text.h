// Path and text helpers shared by every layer: the folder-prefix rule, the
// two existence tests and conversion between ANSI and UTF-16 text.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Where the text's last backslash character is (npos when it has none). A
// backslash byte that is the second half of a double-byte character does
// not count.
size_t LastBackslash(std::string_view text);
// True when the text's last character is a backslash, by the same rule.
bool EndsWithBackslash(std::string_view text);

// The folder without its trailing backslashes, but a drive's root ("C:\")
// keeps its own.
std::string WithoutTrailingBackslash(std::string folder);

// A folder used as a prefix ends in a backslash; an empty text becomes "\".
std::string FolderPrefix(std::string folder);

bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);

// Conversions with the system's ANSI code page; characters without a mapping
// become the code page's default character.
std::wstring AnsiToWide(std::string_view text);
std::string WideToAnsi(std::wstring_view text);

// The path made absolute against the current directory; the path itself when
// the system cannot do that.
std::string FullPathName(const std::string& path);

// True for a path that names its drive and starts at its root ("C:\...") and
// for a UNC path ("\\server\share..."); false for one that depends on the
// current folder or drive ("Apps\x", "\Apps\x", "D:x").
bool IsFullyQualified(std::string_view path);

}  // namespace platform
