#include "platform/registry.h"

#include "platform/error.h"
#include "platform/text.h"

#include <vector>

namespace platform {

UniqueKey OpenKey(HKEY root, const std::string& path, REGSAM access) {
  UniqueKey key;
  if (RegOpenKeyExA(root, path.c_str(), 0, access, key.put()) != ERROR_SUCCESS) key.release();
  return key;
}

namespace {

std::string TextUpToFirstNul(const std::vector<char>& data) {
  size_t length = 0;
  while (length < data.size() && data[length] != '\0') ++length;
  return std::string(data.data(), length);
}

// Reads type and data of a value; false when the value cannot be queried.
bool QueryValue(HKEY key, const char* name, DWORD& type, std::vector<char>& data) {
  DWORD size = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
  data.assign(size, '\0');
  if (size == 0) return true;
  const LONG result =
      RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
  data.resize(size);
  return result == ERROR_SUCCESS;
}

bool IsText(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ;
}

// The wide value's type and text up to its first NUL; false when it cannot
// be queried. `size` is its data size in bytes.
bool QueryWideValue(HKEY key, const char* name, DWORD& type, DWORD& size, std::wstring& text) {
  const std::wstring wideName = AnsiToWide(name);
  size = 0;
  if (RegQueryValueExW(key, wideName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
    return false;
  }
  std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
  DWORD read = size;
  if (size != 0 && RegQueryValueExW(key, wideName.c_str(), nullptr, &type,
                                    reinterpret_cast<BYTE*>(data.data()), &read) != ERROR_SUCCESS) {
    return false;
  }
  text = data.data();
  return true;
}

}  // namespace

std::optional<std::string> QueryTextValue(HKEY key, const char* name) {
  DWORD type = REG_NONE;
  std::vector<char> data;
  if (!QueryValue(key, name, type, data) || !IsText(type) || data.empty()) return std::nullopt;
  return TextUpToFirstNul(data);
}

std::optional<DWORD> QueryValueType(HKEY key, const char* name) {
  DWORD type = REG_NONE;
  if (RegQueryValueExA(key, name, nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return type;
}

std::optional<std::wstring> QueryWideTextValue(HKEY key, const char* name) {
  DWORD type = REG_NONE, size = 0;
  std::wstring text;
  if (!QueryWideValue(key, name, type, size, text) || !IsText(type) || size == 0) {
    return std::nullopt;
  }
  return text;
}

ShellFolderReader::ShellFolderReader(HKEY root, const std::string& path) {
  // A reader whose key cannot be opened simply reads every value as empty.
  if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key_.put(),
                      nullptr) != ERROR_SUCCESS) {
    key_.release();
  }
}

#if __cpp_exceptions  // raises: left out of a build without exceptions (error.h)
std::string ShellFolderReader::Read(const char* name) const {
  if (!key_) return {};
  UniqueKey folders = OpenKey(key_.get(), kShellFoldersSubkey, KEY_ALL_ACCESS);
  if (!folders) return {};
  DWORD type = REG_NONE;
  std::vector<char> data;
  if (!QueryValue(folders.get(), name, type, data)) return {};
  if (!IsText(type)) Raise(Format("Invalid data type for '%s'", name));
  return TextUpToFirstNul(data);
}

std::wstring ShellFolderReader::ReadWide(const char* name) const {
  if (!key_) return {};
  UniqueKey folders = OpenKey(key_.get(), kShellFoldersSubkey, KEY_ALL_ACCESS);
  if (!folders) return {};
  DWORD type = REG_NONE, size = 0;
  std::wstring text;
  if (!QueryWideValue(folders.get(), name, type, size, text)) return {};
  if (!IsText(type)) Raise(Format("Invalid data type for '%s'", name));
  return text;
}

std::optional<RegistryValueWriter> RegistryValueWriter::OpenOrCreate(HKEY root,
                                                                     const std::string& path) {
  UniqueKey key;
  if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(),
                      nullptr) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return RegistryValueWriter(std::move(key));
}

void RegistryValueWriter::SetText(const char* name, const std::string& value) const {
  Set(name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

void RegistryValueWriter::SetNumber(const char* name, DWORD value) const {
  Set(name, REG_DWORD, &value, sizeof value);
}

void RegistryValueWriter::Set(const char* name, DWORD type, const void* data, DWORD size) const {
  const LSTATUS status =
      RegSetValueExA(key_.get(), name, 0, type, static_cast<const BYTE*>(data), size);
  if (status != ERROR_SUCCESS) {
    Raise(Format("Failed to set data for '%s'", name), Win32Failure("RegSetValueExA", status));
  }
}
#endif

}  // namespace platform
