#include "install/installation_check.h"

#include "install/destination_guard.h"
#include "install/installer.h"
#include "platform/error.h"
#include "platform/paths.h"
#include "platform/unique_resource.h"
#include "product/product_definition.h"

#include <windows.h>

#include <algorithm>

namespace install {
namespace {

// Room for install.log beside the files: it holds a few dozen short lines.
constexpr unsigned long long kLogAllowance = 64 * 1024;

// "120 KB", "1.7 MB": rounded up, so that the room asked for is enough.
std::string SizeText(unsigned long long bytes) {
  constexpr unsigned long long kKilo = 1024, kMega = 1024 * 1024;
  if (bytes < kMega) return std::to_string((bytes + kKilo - 1) / kKilo) + " KB";
  const unsigned long long tenths = (bytes * 10 + kMega - 1) / kMega;
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " MB";
}

// The destination's nearest level that exists: the drive's free space is
// read there, since the destination itself may not exist yet.
std::string NearestExistingFolder(std::string folder) {
  while (!platform::DirectoryExists(folder)) {
    const size_t backslash = platform::LastBackslash(platform::WithoutTrailingBackslash(folder));
    // No level left: a drive or server that is not there.
    if (backslash == std::string::npos || backslash + 1 >= folder.size()) return {};
    folder.resize(backslash + 1);
  }
  return folder;
}

unsigned long long FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return 0;
  return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace

Obstacle ReplacementObstacle(const std::string& target) {
  const DWORD attributes = GetFileAttributesA(target.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return {};
  const std::string path = platform::FullPathName(target);
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    return {platform::Format(
        "Cannot replace file \"%s\": a folder of that name is in the way. Move or remove it, or "
        "choose another folder, then try again.",
        path.c_str())};
  }
  // The system refuses to replace a read-only file, whoever asks.
  if (attributes & FILE_ATTRIBUTE_READONLY) {
    return {platform::Format(
        "Cannot replace file \"%s\". The file is read-only. Clear its read-only attribute or "
        "choose another folder, then try again.",
        path.c_str())};
  }
  // Opened as the extraction opens it, without emptying it: what stops this
  // open would stop the extraction once the files before it are replaced.
  const platform::UniqueFile file(CreateFileA(target.c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                              nullptr));
  if (file) return {};
  const DWORD error = GetLastError();
  return {platform::Format(
              "Cannot replace file \"%s\". %s. Close %s and any other program that uses the "
              "file, then try again.",
              path.c_str(), platform::SystemErrorText(error).c_str(), product::FullName),
          platform::Win32Failure("CreateFileA", error)};
}

// The old log goes before the new one is begun. One another program holds
// open could not go, but might still be written into, mixing its entries
// with the new ones; a folder of its name is in the way. Any other reason
// it cannot go (a read-only drive or file) keeps the new log from being
// written too, which the log's own error then tells.
Obstacle OldLogObstacle(const std::string& log) {
  const DWORD attributes = GetFileAttributesA(log.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return {};
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return ReplacementObstacle(log);
  const platform::UniqueFile file(
      CreateFileA(log.c_str(), DELETE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file || GetLastError() != ERROR_SHARING_VIOLATION) return {};
  return ReplacementObstacle(log);
}

unsigned long long BytesNeeded(const std::vector<PlannedFile>& files) {
  // Each replaced file is emptied before its successor is written, so the
  // most the drive holds more than before is the largest running total.
  long long running = 0, most = 0;
  for (const PlannedFile& file : files) {
    running += static_cast<long long>(file.bytes) - static_cast<long long>(file.replaced);
    most = std::max(most, running);
  }
  return static_cast<unsigned long long>(most) + kLogAllowance;
}

std::string SpaceObstacle(const std::string& installDir, unsigned long long bytesNeeded) {
  const std::string existing = NearestExistingFolder(installDir);
  ULARGE_INTEGER available{};
  if (existing.empty() || !GetDiskFreeSpaceExA(existing.c_str(), &available, nullptr, nullptr)) {
    return {};
  }
  if (available.QuadPart >= bytesNeeded) return {};
  return platform::Format(
      "There is not enough free space for %s in %s: it needs %s, and %s is free. Free %s on "
      "that drive or choose another folder, then try again.",
      product::FullName, installDir.c_str(), SizeText(bytesNeeded).c_str(),
      SizeText(available.QuadPart).c_str(), SizeText(bytesNeeded - available.QuadPart).c_str());
}

Obstacle Installer::InstallationObstacle(const std::string& folderText) const {
  const std::string folder = platform::ResolvedFolder(folderText);
  if (folder.empty()) return {};  // RunInstallation refuses the text itself
  // Nothing is opened through a destination the guard refuses; the
  // installation then says why.
  if (isElevated_() && !DestinationRefusal(folder, ReadDestinationFacts(folder)).empty()) return {};
  if (Obstacle obstacle = OldLogObstacle(folder + "install.log"); !obstacle.empty()) {
    return obstacle;
  }
  std::vector<PlannedFile> planned;
  for (const product::PayloadRow* row : PayloadRowsToExtract(folder)) {
    const std::string target = folder + row->fileName;
    if (Obstacle obstacle = ReplacementObstacle(target); !obstacle.empty()) return obstacle;
    planned.push_back({PayloadSize(row->resourceName), FileSize(target)});
  }
  return {SpaceObstacle(folder, BytesNeeded(planned))};
}

}  // namespace install
