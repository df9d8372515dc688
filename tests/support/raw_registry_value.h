// A registry value as stored: its type and its bytes, compared whole, so a
// test sees a wrong type, a missing terminator or a stray byte alike.
#pragma once

#include "tests/support/test_support.h"

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

namespace test {

struct RawValue {
  DWORD type = 0xdeadbeef;
  std::vector<BYTE> bytes;
  bool operator==(const RawValue&) const = default;
};

void PrintTo(const RawValue& value, std::ostream* out);

// REG_SZ: the text and one zero byte.
RawValue Text(const std::string& text);
// REG_DWORD: 4 bytes, least significant first.
RawValue Number(DWORD number);

// The value under scratch\subkey (the key itself when empty); an empty byte
// list when it is missing.
RawValue ReadRawValue(const ScratchKey& scratch, const std::string& subkey, const char* name);

// Today's local date as yyyymmdd.
std::string LocalDateText();

// The product's seventeen uninstall values under scratch\subkey, as written
// for `installDir` on the day `before` or `after` (yyyymmdd, read around the
// writing so that a run across local midnight still matches). Failures name
// the caller's line.
void ExpectUninstallEntry(const ScratchKey& scratch, const std::string& subkey,
                          const std::string& installDir, const std::string& before,
                          const std::string& after,
                          std::source_location at = std::source_location::current());

}  // namespace test
