#include "install/installer.h"

#include "product/product_definition.h"

#include <cstring>

namespace install {

std::string UninstallKeyPath() {
  return std::string("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") +
         product::ShortName;
}

Installer::Installer(HMODULE payloadModule, RegistryLocations registry)
    : payloadModule_(payloadModule ? payloadModule : GetModuleHandleA(nullptr)),
      registry_(std::move(registry)) {
  if (registry_.uninstallKeyPath.empty()) registry_.uninstallKeyPath = UninstallKeyPath();
}

void Installer::ResetLogCounters() {
  NextFileIndex = 1;
  NextFolderIndex = 1;
}

void Installer::ReleaseLog() {
  InstallLog.reset();
}

bool IsPreservedFile(const std::string& fileName) {
  for (const char* preserved : product::PreservedFiles) {
    if (fileName == preserved) return true;
  }
  return false;
}

}  // namespace install
