#include "tests/support/raw_registry_value.h"

#include "platform/registry.h"

#include <cstdio>

namespace test {

void PrintTo(const RawValue& value, std::ostream* out) {
  *out << "type " << value.type << ", " << value.bytes.size() << " bytes \"";
  for (BYTE byte : value.bytes) *out << (byte ? static_cast<char>(byte) : '0');
  *out << "\"";
}

RawValue Text(const std::string& text) {
  RawValue value{REG_SZ, std::vector<BYTE>(text.begin(), text.end())};
  value.bytes.push_back(0);
  return value;
}

RawValue Number(DWORD number) {
  return {REG_DWORD,
          {static_cast<BYTE>(number), static_cast<BYTE>(number >> 8),
           static_cast<BYTE>(number >> 16), static_cast<BYTE>(number >> 24)}};
}

RawValue ReadRawValue(const ScratchKey& scratch, const std::string& subkey, const char* name) {
  RawValue value;
  const std::string path = subkey.empty() ? scratch.path() : scratch.path() + "\\" + subkey;
  auto key = platform::OpenKey(scratch.root(), path, KEY_READ);
  DWORD size = 0;
  if (!key || RegQueryValueExA(key.get(), name, nullptr, &value.type, nullptr, &size) != 0) {
    return {};
  }
  value.bytes.assign(size, 0xcc);  // a byte the value does not leave behind is seen
  RegQueryValueExA(key.get(), name, nullptr, &value.type, value.bytes.data(), &size);
  return value;
}

void ExpectUninstallEntry(const ScratchKey& scratch, const std::string& subkey,
                          const std::string& dir, const std::string& before,
                          const std::string& after, std::source_location at) {
  const testing::ScopedTrace trace(at.file_name(), static_cast<int>(at.line()), "uninstall entry");
  const auto value = [&](const char* name) { return ReadRawValue(scratch, subkey, name); };
  EXPECT_EQ(value("DisplayName"), Text("Telvarion"));
  EXPECT_EQ(value("DisplayIcon"), Text(dir + "Quorvelle.exe,0"));
  EXPECT_EQ(value("UninstallPath"), Text(dir));
  // Quoted: blanks in the path must not let a planted program run instead.
  EXPECT_EQ(value("UninstallString"), Text("\"" + dir + "Uninstall.exe\""));
  EXPECT_EQ(value("QuietUninstallString"), Text("\"" + dir + "Uninstall.exe\" /S"));
  EXPECT_EQ(value("InstallLocation"), Text(dir));
  EXPECT_EQ(value("DisplayVersion"), Text("5.0"));
  EXPECT_EQ(value("Comments"), Text("Thank you for using Quorvelle!"));
  EXPECT_EQ(value("Contact"), Text("support@nerovane.example"));
  EXPECT_EQ(value("Publisher"), Text("Nerovane technologies"));
  EXPECT_EQ(value("URLInfoAbout"), Text("https://quorvelle.nerovane.example"));
  EXPECT_EQ(value("URLUpdateInfo"), Text("https://quorvelle.nerovane.example"));
  EXPECT_EQ(value("NoModify"), Number(1));
  EXPECT_EQ(value("NoRepair"), Number(1));
  EXPECT_EQ(value("VersionMajor"), Number(5));
  EXPECT_EQ(value("VersionMinor"), Number(0));
  const RawValue date = value("InstallDate");
  EXPECT_TRUE(date == Text(before) || date == Text(after)) << testing::PrintToString(date);
}

std::string LocalDateText() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char text[16];
  std::snprintf(text, sizeof text, "%04u%02u%02u", now.wYear, now.wMonth, now.wDay);
  return text;
}

}  // namespace test
