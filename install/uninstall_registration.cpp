#include "install/uninstall_registration.h"

#include "install/installer.h"

#include "platform/error.h"
#include "platform/registry.h"
#include "product/product_definition.h"

#include <string>

namespace install {

std::string UninstallKeyPath() {
  return std::string(platform::kUninstallKeys) + "\\" + product::ShortName;
}

namespace {

// Today's local calendar date as yyyymmdd: shortly after local midnight the
// entry already shows the new day.
std::string LocalDateText() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return platform::Format("%04u%02u%02u", now.wYear, now.wMonth, now.wDay);
}

// Quoted always: unquoted, a path with blanks such as C:\Program Files\...
// lets a planted C:\Program.exe run in the uninstaller's place.
std::string QuotedPath(const std::string& path) {
  return "\"" + path + "\"";
}

}  // namespace

bool WriteUninstallEntry(HKEY root, const std::string& keyPath, const std::string& installDir) {
  // Without rights to the key (a user who is not an administrator) the
  // installation goes on unregistered, and nothing is reported.
  const auto writer = platform::RegistryValueWriter::OpenOrCreate(root, keyPath);
  if (!writer) return false;
  writer->SetText("DisplayName", product::FullName);
  writer->SetText("DisplayIcon", installDir + product::MainProgram.fileName + ",0");
  writer->SetText("UninstallPath", installDir);
  const std::string uninstaller = QuotedPath(installDir + product::Uninstaller.fileName);
  writer->SetText("UninstallString", uninstaller);
  // Management tools remove the product with this one, without a window.
  writer->SetText("QuietUninstallString", uninstaller + " /S");
  writer->SetText("InstallLocation", installDir);
  writer->SetText("DisplayVersion", product::Version);
  writer->SetText("Comments", std::string("Thank you for using ") + product::ShortName + "!");
  writer->SetText("Contact", product::ContactAddress);
  writer->SetText("Publisher", product::Publisher);
  writer->SetText("URLInfoAbout", product::ProductUrl);
  writer->SetText("URLUpdateInfo", product::UpdateUrl);
  writer->SetNumber("NoModify", 1);
  writer->SetNumber("NoRepair", 1);
  writer->SetNumber("VersionMajor", product::VersionMajor);
  writer->SetNumber("VersionMinor", product::VersionMinor);
  writer->SetText("InstallDate", LocalDateText());
  return true;
}

void Installer::RegisterUninstall() {
  if (WriteUninstallEntry(registry_.uninstallRoot, registry_.uninstallKeyPath, installDir_) &&
      onRecorded_) {
    onRecorded_(Recorded::RegistryKey, registry_.uninstallKeyPath);
  }
}

}  // namespace install
