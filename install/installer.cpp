#include "install/installer.h"

#include "product/product_definition.h"

#include <cstring>

namespace install {

std::string UninstallKeyPath() {
  return std::string(platform::kUninstallKeys) + "\\" + product::ShortName;
}

Installer::Installer(HMODULE payloadModule, RegistryLocations registry,
                     std::function<bool()> isElevated)
    : payloadModule_(payloadModule ? payloadModule : GetModuleHandleA(nullptr)),
      registry_(std::move(registry)),
      isElevated_(std::move(isElevated)) {
  if (registry_.uninstallKeyPath.empty()) registry_.uninstallKeyPath = UninstallKeyPath();
}

void Installer::ResetLogCounters() {
  nextFileIndex_ = 1;
  nextFolderIndex_ = 1;
}

void Installer::ReleaseLog() {
  installLog_.reset();
}

bool IsPreservedFile(const std::string& fileName) {
  for (const char* preserved : product::PreservedFiles) {
    if (fileName == preserved) return true;
  }
  return false;
}

}  // namespace install
