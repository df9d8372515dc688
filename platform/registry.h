// The registry operations the program asks of the system, in one place.
#pragma once

#include "platform/unique_resource.h"

#include <windows.h>

#include <optional>
#include <string>

namespace platform {

// The key opened with the given access, or an empty owner when it cannot be.
UniqueKey OpenKey(HKEY root, const std::string& path, REGSAM access);

// A text value as the machine-wide readers want it: found only for REG_SZ or
// REG_EXPAND_SZ with more than 0 bytes of data; the text ends at its first NUL.
// A missing value, another type or size 0 is "not found", never an error.
std::optional<std::string> QueryTextValue(HKEY key, const char* name);

// The value's type; nothing when it cannot be queried (it is missing).
std::optional<DWORD> QueryValueType(HKEY key, const char* name);

// The same in UTF-16, for the paths a user's profile holds: the code page
// may lack some of their characters.
std::optional<std::wstring> QueryWideTextValue(HKEY key, const char* name);

// The user's Explorer key, whose subkey "Shell Folders" names the user's
// folders (the desktop, the Start menu's programs).
inline constexpr const char* kExplorerKey =
    "Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer";
inline constexpr const char* kShellFoldersSubkey = "Shell Folders";
// The machine's key holding one subkey for each installed program's
// uninstall entry, named by the program.
inline constexpr const char* kUninstallKeys =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// Reads the per-user "Shell Folders" values. The key is opened, or created
// when missing, with full access for the reader's lifetime; the subkey is
// opened for each read and closed after it.
class ShellFolderReader {
 public:
  explicit ShellFolderReader(HKEY root = HKEY_CURRENT_USER, const std::string& path = kExplorerKey);

  // The value's text, not expanded; the empty text when the key, subkey or
  // value is missing. A value that exists but is not text raises
  // "Invalid data type for '<name>'".
  std::string Read(const char* name) const;
  // The same in UTF-16, with the same error.
  std::wstring ReadWide(const char* name) const;

 private:
  UniqueKey key_;
};

// Writes the values of one key, opened or created with full access.
class RegistryValueWriter {
 public:
  // An empty result when the key can be neither opened nor created.
  static std::optional<RegistryValueWriter> OpenOrCreate(HKEY root, const std::string& path);

  // REG_SZ: the text and one zero byte. Raises "Failed to set data for '<name>'".
  void SetText(const char* name, const std::string& value) const;
  // REG_DWORD: 4 bytes, least significant first. Same error as SetText.
  void SetNumber(const char* name, DWORD value) const;

  HKEY key() const noexcept { return key_.get(); }

 private:
  explicit RegistryValueWriter(UniqueKey key) : key_(std::move(key)) {}
  void Set(const char* name, DWORD type, const void* data, DWORD size) const;

  UniqueKey key_;
};

}  // namespace platform
