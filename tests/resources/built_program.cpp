#include "tests/resources/built_program.h"

#include "tests/support/test_support.h"

#include <algorithm>
#include <cstring>

namespace test {

std::string BuiltProgram::Path() {
  std::string path = SETUP_RELEASE_EXE;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

void BuiltProgram::SetUp() {
  Load(Path());
}

void BuiltProgram::Load(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
    GTEST_SKIP() << path << " is not built yet: make the release build first "
                 << "(scripts/test.sh does)";
  }
  module_ = LoadDataModule(path);
  ASSERT_TRUE(module_);
}

std::string_view BuiltProgram::Resource(LPCSTR type, LPCSTR name) const {
  HRSRC found = FindResourceA(module(), name, type);
  if (!found) {
    ADD_FAILURE() << "resource missing, error " << GetLastError();
    return {};
  }
  // Resources of a module loaded as data need no freeing.
  const auto* data = static_cast<const char*>(LockResource(LoadResource(module(), found)));
  return {data, SizeofResource(module(), found)};
}

namespace {

BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR names) noexcept {
  auto* list = reinterpret_cast<std::vector<std::string>*>(names);
  if (IS_INTRESOURCE(name)) {
    list->push_back("#" + std::to_string(reinterpret_cast<ULONG_PTR>(name)));
  } else {
    list->push_back(name);
  }
  return TRUE;
}

}  // namespace

std::vector<std::string> BuiltProgram::Names(LPCSTR type) const {
  std::vector<std::string> names;
  EXPECT_TRUE(EnumResourceNamesA(module(), type, CollectName, reinterpret_cast<LONG_PTR>(&names)))
      << "error " << GetLastError();
  return names;
}

BITMAPINFOHEADER BitmapHeader(std::string_view bytes) {
  BITMAPINFOHEADER header{};
  if (bytes.size() >= sizeof header) std::memcpy(&header, bytes.data(), sizeof header);
  return header;
}

Bitmap24::Bitmap24(std::string_view resource) : header_(BitmapHeader(resource)) {
  if (header_.biSize == sizeof header_) bits_ = resource.substr(header_.biSize);
}

COLORREF Bitmap24::At(int x, int y) const {
  const size_t stride = (width() * 3 + 3) & ~3;
  const size_t offset = (height() - 1 - y) * stride + x * 3;  // rows are stored bottom-up
  if (offset + 3 > bits_.size()) {
    ADD_FAILURE() << "pixel " << x << "," << y << " lies outside the bitmap's data";
    return CLR_INVALID;
  }
  const auto* p = reinterpret_cast<const unsigned char*>(bits_.data() + offset);
  return RGB(p[2], p[1], p[0]);
}

}  // namespace test
