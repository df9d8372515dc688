// The release build's dist/Setup.exe, opened for its resources. It is a
// 32-bit program file; loaded as data, a test program of either bitness can
// read it.
#pragma once

#include "platform/unique_resource.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace test {

class BuiltProgram : public ::testing::Test {
 protected:
  // Skips the test when the release build has not been made yet.
  void SetUp() override;
  // Opens another program of the release than dist/Setup.exe instead.
  void Load(std::string path);

  static std::string Path();
  HMODULE module() const { return module_.get(); }
  // The bytes of a resource; empty (and the test failed) when it is missing.
  std::string_view Resource(LPCSTR type, LPCSTR name) const;
  // Names of the resources of one type, in the order the file lists them.
  std::vector<std::string> Names(LPCSTR type) const;

 private:
  platform::UniqueModule module_;
};

// The header of a device-independent bitmap or icon image, copied out of
// resource bytes (which need not be aligned for it).
BITMAPINFOHEADER BitmapHeader(std::string_view bytes);

// Pixels of an uncompressed 24-bit bitmap resource, addressed top-down.
class Bitmap24 {
 public:
  explicit Bitmap24(std::string_view resource);
  int width() const { return header_.biWidth; }
  int height() const { return header_.biHeight; }
  COLORREF At(int x, int y) const;

 private:
  BITMAPINFOHEADER header_;
  std::string_view bits_;
};

inline constexpr COLORREF Magenta = RGB(255, 0, 255);

}  // namespace test
