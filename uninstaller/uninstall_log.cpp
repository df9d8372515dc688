// install.log is a profile file written one key at a time; it is read back
// through the same system profile calls.
#include "uninstaller/uninstall_log.h"

#include "platform/error.h"
#include "platform/unique_resource.h"

#include <windows.h>

#include <algorithm>
#include <charconv>
#include <utility>

namespace uninstaller {
namespace {

// Every "key=value" line of the section, as the profile call returns them:
// separated by zero bytes, the list ending in two.
std::vector<std::string> SectionLines(const std::string& logPath, const char* section) {
  std::vector<char> buffer(32 * 1024);
  for (;;) {
    const DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD used = GetPrivateProfileSectionA(section, buffer.data(), size, logPath.c_str());
    if (used < size - 2) {
      std::vector<std::string> lines;
      for (const char* line = buffer.data(); *line; line += lstrlenA(line) + 1) {
        lines.emplace_back(line);
      }
      return lines;
    }
    buffer.resize(buffer.size() * 2);  // truncated: read again with more room
  }
}

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string ApplicationValue(const std::string& logPath, const char* key) {
  char value[1024] = "";
  GetPrivateProfileStringA("Application", key, "", value, sizeof value, logPath.c_str());
  return value;
}

// Opening the file tells a missing log from one that cannot be read, which
// the profile calls would both answer with empty sections.
Outcome CheckReadable(const std::string& logPath) {
  platform::UniqueFile file(CreateFileA(logPath.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file) return {};
  const DWORD error = GetLastError();
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
    return Outcome::Failed(
        platform::Format("The install log %s was not found, so nothing was removed.",
                         logPath.c_str()),
        platform::Win32Failure("CreateFileA", error));
  }
  return Outcome::Failed(
      platform::Format("The install log %s cannot be read (%s), so nothing was removed.",
                       logPath.c_str(), platform::SystemErrorText(error).c_str()),
      platform::Win32Failure("CreateFileA", error));
}

}  // namespace

std::vector<std::string> ReadNumberedSection(const std::string& logPath, const char* section) {
  std::vector<std::pair<unsigned long long, std::string>> entries;
  for (const std::string& line : SectionLines(logPath, section)) {
    const size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string key = Trimmed(line.substr(0, equals));
    unsigned long long number = 0;
    const auto [end, error] = std::from_chars(key.data(), key.data() + key.size(), number);
    if (key.empty() || error != std::errc() || end != key.data() + key.size()) continue;
    entries.emplace_back(number, Trimmed(line.substr(equals + 1)));
  }
  std::stable_sort(entries.begin(), entries.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::string> values;
  for (auto& entry : entries) {
    if (!entry.second.empty()) values.push_back(std::move(entry.second));
  }
  return values;
}

Result<InstallLogContents> ReadInstallLog(const std::string& logPath) {
  if (const Outcome readable = CheckReadable(logPath); readable.failed()) return readable;
  InstallLogContents log;
  log.shortName = ApplicationValue(logPath, "ShortName");
  log.fullName = ApplicationValue(logPath, "FullName");
  log.version = ApplicationValue(logPath, "Version");
  // The short name names the product's uninstall key; a log without it (an
  // empty file among them) describes no installation this program can undo.
  if (log.shortName.empty() || log.shortName.find('\\') != std::string::npos) {
    return Outcome::Failed(platform::Format(
        "The install log %s does not describe an installation, so nothing was removed.",
        logPath.c_str()));
  }
  if (log.fullName.empty()) log.fullName = log.shortName;
  log.files = ReadNumberedSection(logPath, "Files");
  log.folders = ReadNumberedSection(logPath, "Folders");
  return log;
}

}  // namespace uninstaller
