// The shipped dist/Setup.exe read as a file: the hardened layout the linker
// was asked for, and imports of the system's own libraries only.
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <set>
#include <string>

namespace {

class ExecutableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (GetFileAttributesA(SETUP_RELEASE_EXE) == INVALID_FILE_ATTRIBUTES) {
      GTEST_SKIP() << SETUP_RELEASE_EXE << " is not built";
    }
    image_ = test::ReadFile(SETUP_RELEASE_EXE);
    ASSERT_GT(image_.size(), 0x400u);
    const auto* dos = At<IMAGE_DOS_HEADER>(0);
    ASSERT_EQ(dos->e_magic, IMAGE_DOS_SIGNATURE);
    nt_ = At<IMAGE_NT_HEADERS32>(dos->e_lfanew);
    ASSERT_EQ(nt_->Signature, IMAGE_NT_SIGNATURE);
  }

  template <typename T>
  const T* At(size_t offset) const {
    if (offset + sizeof(T) > image_.size()) throw std::out_of_range("outside the file");
    return reinterpret_cast<const T*>(image_.data() + offset);
  }

  // The file offset of a relative virtual address, through the section table.
  size_t OffsetOf(DWORD rva) const {
    const auto* section = IMAGE_FIRST_SECTION(nt_);
    for (WORD i = 0; i < nt_->FileHeader.NumberOfSections; ++i, ++section) {
      if (rva >= section->VirtualAddress &&
          rva < section->VirtualAddress + section->Misc.VirtualSize) {
        return rva - section->VirtualAddress + section->PointerToRawData;
      }
    }
    throw std::out_of_range("address in no section");
  }

  std::set<std::string> ImportedLibraries() const {
    std::set<std::string> names;
    const auto& directory = nt_->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (size_t offset = OffsetOf(directory.VirtualAddress);;
         offset += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
      const auto* entry = At<IMAGE_IMPORT_DESCRIPTOR>(offset);
      if (entry->Name == 0) break;
      std::string name = image_.c_str() + OffsetOf(entry->Name);
      std::transform(name.begin(), name.end(), name.begin(),
                     [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
      names.insert(name);
    }
    return names;
  }

  std::string image_;
  const IMAGE_NT_HEADERS32* nt_ = nullptr;
};

TEST_F(ExecutableTest, IsA32BitGuiProgramWithTheHardenedLayout) {
  EXPECT_EQ(nt_->FileHeader.Machine, IMAGE_FILE_MACHINE_I386);
  EXPECT_EQ(nt_->OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR32_MAGIC);
  EXPECT_EQ(nt_->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
  const WORD flags = nt_->OptionalHeader.DllCharacteristics;
  EXPECT_TRUE(flags & IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE);
  EXPECT_TRUE(flags & IMAGE_DLLCHARACTERISTICS_NX_COMPAT);
  EXPECT_TRUE(flags & IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE);
  // Randomised placement needs the relocations kept.
  EXPECT_FALSE(nt_->FileHeader.Characteristics & IMAGE_FILE_RELOCS_STRIPPED);
  EXPECT_GT(nt_->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_BASERELOC].Size, 0u);
  EXPECT_FALSE(nt_->FileHeader.Characteristics & IMAGE_FILE_LARGE_ADDRESS_AWARE);
}

TEST_F(ExecutableTest, ImportsOnlyTheSystemsOwnLibraries) {
  // Anything else (the theme library, the image helpers) is loaded at run
  // time from the system folder, so a DLL planted beside Setup.exe is never used.
  const std::set<std::string> allowed = {"advapi32.dll", "comctl32.dll", "gdi32.dll",
                                         "kernel32.dll", "msvcrt.dll",   "ole32.dll",
                                         "shell32.dll",  "user32.dll"};
  const std::set<std::string> imported = ImportedLibraries();
  EXPECT_TRUE(imported.count("kernel32.dll"));
  for (const std::string& name : imported) EXPECT_TRUE(allowed.count(name)) << name;
}

}  // namespace
