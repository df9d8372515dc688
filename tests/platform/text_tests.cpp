#include "platform/text.h"

#include <windows.h>
#include <gtest/gtest.h>

namespace {

TEST(TextConversion, RoundTripsAndReplacesUnmappableCharacters) {
  EXPECT_EQ(platform::WideToAnsi(platform::AnsiToWide("C:\\Quorvelle\\a b.lnk")),
            "C:\\Quorvelle\\a b.lnk");
  EXPECT_EQ(platform::AnsiToWide(""), L"");
  // U+4E2D has no mapping in a Western code page: it becomes the default
  // character, one byte, so the path keeps its shape.
  const std::string converted = platform::WideToAnsi(L"x\u4E2Dy");
  if (GetACP() == 1252) {
    EXPECT_EQ(converted, "x?y");
  }
  EXPECT_EQ(converted.front(), 'x');
  EXPECT_EQ(converted.back(), 'y');
}

}  // namespace
