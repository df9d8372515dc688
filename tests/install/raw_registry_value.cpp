#include "tests/install/raw_registry_value.h"

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
  auto key = platform::OpenKey(scratch.root(), scratch.path() + "\\" + subkey, KEY_READ);
  DWORD size = 0;
  if (!key || RegQueryValueExA(key.get(), name, nullptr, &value.type, nullptr, &size) != 0) {
    return {};
  }
  value.bytes.assign(size, 0xcc);  // a byte the value does not leave behind is seen
  RegQueryValueExA(key.get(), name, nullptr, &value.type, value.bytes.data(), &size);
  return value;
}

std::string LocalDateText() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char text[16];
  std::snprintf(text, sizeof text, "%04u%02u%02u", now.wYear, now.wMonth, now.wDay);
  return text;
}

}  // namespace test
