// Every decision about a path in one place: what a full path is, where its
// levels begin, how a folder is trimmed or used as a prefix, the one form the
// system makes of a typed folder, and when two spellings name the same file.
// Paths come and go as ANSI text (the system's code page), as the program
// holds them everywhere; inside, the decisions are made on UTF-16 text,
// converted once at the edge.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Where the text's last backslash character is (npos when it has none). A
// backslash byte that is the second half of a double-byte character does
// not count.
size_t LastBackslash(std::string_view text);
// True when the text's last character is a backslash, by the same rule.
bool EndsWithBackslash(std::string_view text);

// A path the system hands over in UTF-16 (a shell folder, the temporary
// folder, a profile's programs folder) as the ANSI text the program holds:
// the path itself when the code page spells every character of it, else the
// same with each level it cannot spell replaced by that level's short (8.3)
// name, which is plain letters; empty when a level has none (it does not
// exist yet, or its drive keeps no short names). Either way the text names
// the same file.
std::string AnsiSpelling(std::wstring_view path);

// The folder without its trailing backslashes, but a drive's root ("C:\")
// keeps its own.
std::string WithoutTrailingBackslash(std::string folder);

// A folder used as a prefix ends in a backslash; an empty text becomes "\".
std::string FolderPrefix(std::string folder);

bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);

// The path made absolute against the current directory; the path itself when
// the system cannot do that.
std::string FullPathName(const std::string& path);

// True for a text that names its drive and starts at its root ("C:\...",
// "C:/...") and for a UNC text ("\\server\share..."); false for one that
// depends on the current folder or drive ("Apps\x", "\Apps\x", "D:x").
bool IsFullyQualified(std::string_view text);

// True for a path in the forms the installation writes: "X:\..." or
// "\\server\share...". Device and namespace paths ("\\?\", "\\.\") bypass the
// system's resolution of the path and are none.
bool IsFullPath(std::string_view path);

// The folder part of a path: up to its last backslash, which a drive's root
// ("C:\") keeps; empty when the path has no backslash.
std::string FolderOf(const std::string& path);

// Each level of a full path below its root ("X:\" or "\\server\share\"),
// from the top down, without a trailing backslash.
std::vector<std::string> Levels(const std::string& path);

// The folder the text names, as the system resolves it: made absolute
// against the current folder or drive, forward slashes read as backslashes,
// "." and ".." taken out, trailing blanks and dots dropped from every level
// (as the system drops them when it makes a folder), with one trailing
// backslash. A text already in that form comes back byte for byte.
// Empty when no folder could be made under that name: a level made only of
// blanks and dots, a reserved device name as a level ("NUL", "com1.txt"), a
// colon after the drive (a file's stream), or a device or namespace path
// ("\\?\...", "\\.\..."), which bypasses the system's resolution.
std::string ResolvedFolder(const std::string& text);

// A full path in that one form, without a trailing backslash but a drive
// root's; as given when it is no full path or names nothing a file could be
// made under.
std::string PathInOneForm(const std::string& path);

// True when both are full paths naming the same file or folder: compared in
// the one form, with short (8.3) names spelled out as far as the path
// exists and letter case ignored. A junction or symbolic link is never
// resolved, so a path through one never equals a path without it.
bool IsSamePath(const std::string& a, const std::string& b);

// The same comparison for many paths against one: the form compared, made
// once (empty for no full path), and the test on two such forms.
std::wstring ComparedForm(const std::string& path);
bool SameComparedForm(const std::wstring& a, const std::wstring& b);

}  // namespace platform
