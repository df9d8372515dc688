// The payloads of the built release, dist/Setup.exe: four "BINARY"
// resources in language 11274, each one zlib stream at the fastest level
// with nothing after it, each inflating to the file it was packed from.
#include "install/installer.h"
#include "platform/paths.h"
#include "product/product_definition.h"
#include "tests/install/payload_test_support.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <set>
#include <vector>

namespace {

struct Listed {
  std::string name;
  std::vector<WORD> languages;
};

BOOL CALLBACK AddLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR list) noexcept {
  reinterpret_cast<std::vector<WORD>*>(list)->push_back(language);
  return TRUE;
}

BOOL CALLBACK AddName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR list) noexcept {
  auto& listed = *reinterpret_cast<std::vector<Listed>*>(list);
  listed.push_back({IS_INTRESOURCE(name) ? "#" + std::to_string(reinterpret_cast<ULONG_PTR>(name))
                                         : std::string(name),
                    {}});
  EnumResourceLanguagesA(module, type, name, AddLanguage,
                         reinterpret_cast<LONG_PTR>(&listed.back().languages));
  return TRUE;
}

std::string StoredStream(HMODULE module, const char* name) {
  HRSRC found = FindResourceA(module, name, "BINARY");
  if (!found) return {};
  const void* data = LockResource(LoadResource(module, found));
  return std::string(static_cast<const char*>(data), SizeofResource(module, found));
}

// True when `stream` is exactly one complete zlib stream.
bool IsOneCompleteStream(std::string stream) {
  z_stream inflater{};
  if (inflateInit(&inflater) != Z_OK) return false;
  inflater.next_in = reinterpret_cast<Bytef*>(stream.data());
  inflater.avail_in = static_cast<uInt>(stream.size());
  std::vector<Bytef> out(65536);
  int result = Z_OK;
  while (result == Z_OK) {
    inflater.next_out = out.data();
    inflater.avail_out = static_cast<uInt>(out.size());
    result = inflate(&inflater, Z_NO_FLUSH);
  }
  const bool complete = result == Z_STREAM_END && inflater.avail_in == 0;
  inflateEnd(&inflater);
  return complete;
}

class ReleasePayloads : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string path = test::HostPath(RELEASE_SETUP_EXE);
    if (!platform::FileExists(path)) GTEST_SKIP() << path << " is not built";
    module_ = test::LoadDataModule(path);
    ASSERT_TRUE(module_);
  }
  platform::UniqueModule module_;
};

TEST_F(ReleasePayloads, SetupIsA32BitProgram) {
  const std::string image = test::ReadFile(test::HostPath(RELEASE_SETUP_EXE));
  ASSERT_GT(image.size(), 0x200u);
  const auto peOffset = *reinterpret_cast<const DWORD*>(image.data() + 0x3C);
  ASSERT_LT(peOffset + 6, image.size());
  EXPECT_EQ(image.compare(peOffset, 4, std::string("PE\0\0", 4)), 0);
  EXPECT_EQ(*reinterpret_cast<const WORD*>(image.data() + peOffset + 4), IMAGE_FILE_MACHINE_I386);
}

TEST_F(ReleasePayloads, FourBinaryResourcesInLanguage11274) {
  std::vector<Listed> listed;
  EnumResourceNamesA(module_.get(), "BINARY", AddName, reinterpret_cast<LONG_PTR>(&listed));
  std::set<std::string> names;
  for (const Listed& entry : listed) {
    names.insert(entry.name);
    EXPECT_EQ(entry.languages, std::vector<WORD>{11274}) << entry.name;
  }
  EXPECT_EQ(names, (std::set<std::string>{"COPYRIGHT", "HELP", "QUORVELLE", "UNINSTALL"}));
  EXPECT_EQ(listed.size(), 4u);
}

TEST_F(ReleasePayloads, EachIsOneFastestLevelStreamWithNothingAfterIt) {
  for (const char* name : {"QUORVELLE", "UNINSTALL", "COPYRIGHT", "HELP"}) {
    SCOPED_TRACE(name);
    const std::string stream = StoredStream(module_.get(), name);
    ASSERT_GE(stream.size(), 6u);
    EXPECT_EQ(stream.substr(0, 2), "\x78\x01");
    EXPECT_TRUE(IsOneCompleteStream(stream));
  }
}

TEST_F(ReleasePayloads, EachInflatesToItsSourceFile) {
  install::Installer installer(module_.get());
  test::TempFolder folder;
  for (const auto& row : product::PayloadTable) {
    SCOPED_TRACE(row.fileName);
    const std::string source =
        test::ReadFile(test::HostPath(std::string(RELEASE_PAYLOAD_FILES) + "/" + row.fileName));
    ASSERT_FALSE(source.empty());
    ASSERT_TRUE(installer.ExtractPayload(folder / row.fileName, row.resourceName));
    EXPECT_TRUE(test::ReadFile(folder / row.fileName) == source) << "content differs";
    // The size the checks and the progress go by, recorded beside the stream.
    EXPECT_EQ(installer.PayloadSize(row.resourceName), source.size());
    const HRSRC recorded = FindResourceA(module_.get(), row.resourceName, RT_RCDATA);
    EXPECT_TRUE(recorded && SizeofResource(module_.get(), recorded) == 8u);
  }
}

// The publisher-page shortcut shows icon index 1 of the main program, and
// both programs are GUI programs.
TEST_F(ReleasePayloads, ProgramsAreGuiProgramsAndTheMainOneHasTwoIcons) {
  install::Installer installer(module_.get());
  test::TempFolder folder;
  ASSERT_TRUE(installer.ExtractPayload(folder / "Quorvelle.exe", "quorvelle"));
  ASSERT_TRUE(installer.ExtractPayload(folder / "Uninstall.exe", "uninstall"));
  for (const char* name : {"Quorvelle.exe", "Uninstall.exe"}) {
    const std::string image = test::ReadFile(folder / name);
    ASSERT_GT(image.size(), 0x200u) << name;
    const auto peOffset = *reinterpret_cast<const DWORD*>(image.data() + 0x3C);
    // The optional header's Subsystem field, 68 bytes into it.
    const auto subsystem = *reinterpret_cast<const WORD*>(image.data() + peOffset + 24 + 68);
    EXPECT_EQ(subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI) << name;
  }
  EXPECT_GE(ExtractIconExA((folder / "Quorvelle.exe").c_str(), -1, nullptr, nullptr, 0), 2u);
}

}  // namespace
