// The shipped programs read as files, dist/Setup.exe and the Uninstall.exe
// it carries (which runs with administrator rights from the temporary
// folder): the hardened layout the linker was asked for, and imports of the
// system's own libraries only.
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstring>
#include <set>
#include <string>
#include <string_view>

namespace {

class ExecutableTest : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    if (GetFileAttributesA(GetParam()) == INVALID_FILE_ATTRIBUTES) {
      GTEST_SKIP() << GetParam() << " is not built";
    }
    image_ = test::ReadFile(GetParam());
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

  // Calls `each` with every entry of the import directory, one per library.
  template <typename Each>
  void ForEachImportedLibrary(Each each) const {
    const auto& directory = nt_->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (size_t offset = OffsetOf(directory.VirtualAddress);;
         offset += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
      const auto* entry = At<IMAGE_IMPORT_DESCRIPTOR>(offset);
      if (entry->Name == 0) break;
      each(*entry);
    }
  }

  std::set<std::string> ImportedLibraries() const {
    std::set<std::string> names;
    ForEachImportedLibrary([&](const IMAGE_IMPORT_DESCRIPTOR& entry) {
      std::string name = image_.c_str() + OffsetOf(entry.Name);
      std::transform(name.begin(), name.end(), name.begin(),
                     [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
      names.insert(name);
    });
    return names;
  }

  // The names of every function imported by name, from every library.
  std::set<std::string> ImportedFunctions() const {
    std::set<std::string> names;
    ForEachImportedLibrary([&](const IMAGE_IMPORT_DESCRIPTOR& entry) {
      const DWORD table = entry.OriginalFirstThunk ? entry.OriginalFirstThunk : entry.FirstThunk;
      for (size_t thunk = OffsetOf(table);; thunk += sizeof(IMAGE_THUNK_DATA32)) {
        const DWORD data = At<IMAGE_THUNK_DATA32>(thunk)->u1.AddressOfData;
        if (data == 0) break;
        if (data & IMAGE_ORDINAL_FLAG32) continue;
        names.insert(image_.c_str() + OffsetOf(data) + offsetof(IMAGE_IMPORT_BY_NAME, Name));
      }
    });
    return names;
  }

  // The raw bytes of every section that holds code.
  std::string Code() const {
    std::string code;
    const auto* section = IMAGE_FIRST_SECTION(nt_);
    for (WORD i = 0; i < nt_->FileHeader.NumberOfSections; ++i, ++section) {
      if (!(section->Characteristics & IMAGE_SCN_CNT_CODE)) continue;
      const DWORD size = std::min(section->SizeOfRawData, section->Misc.VirtualSize);
      code.append(image_, section->PointerToRawData, size);
    }
    return code;
  }

  std::string image_;
  const IMAGE_NT_HEADERS32* nt_ = nullptr;
};

// Where code stores a register into fs:[0], the head of the thread's chain of
// frame-based exception handlers: "mov fs:[0], eax" and "mov fs:[0], reg".
size_t FindHandlerChainWrite(std::string_view code) {
  constexpr std::string_view zero("\0\0\0\0", 4);
  for (size_t i = code.find('\x64'); i != std::string_view::npos; i = code.find('\x64', i + 1)) {
    const std::string_view rest = code.substr(i + 1);
    if (rest.size() >= 5 && rest[0] == '\xA3' && rest.substr(1, 4) == zero) return i;
    const bool absoluteAddress =
        rest.size() >= 6 && (static_cast<unsigned char>(rest[1]) & 0xC7) == 0x05;
    if (absoluteAddress && rest[0] == '\x89' && rest.substr(2, 4) == zero) return i;
  }
  return std::string_view::npos;
}

TEST_P(ExecutableTest, IsA32BitGuiProgramWithTheHardenedLayout) {
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

// A 32-bit image that says it has no exception handlers must indeed register
// none: the system would end the process rather than call one. (The flag means
// nothing to 64-bit images, whose handlers are described in tables.)
TEST_P(ExecutableTest, DeclaresNoFrameBasedExceptionHandlersAndRegistersNone) {
  if (nt_->FileHeader.Machine != IMAGE_FILE_MACHINE_I386) GTEST_SKIP() << "not a 32-bit image";
  EXPECT_TRUE(nt_->OptionalHeader.DllCharacteristics & IMAGE_DLLCHARACTERISTICS_NO_SEH);
  const std::string code = Code();
  ASSERT_GT(code.size(), 0x1000u);
  EXPECT_EQ(FindHandlerChainWrite(code), std::string::npos)
      << "at code byte " << std::hex << FindHandlerChainWrite(code);
  const std::set<std::string> functions = ImportedFunctions();
  EXPECT_TRUE(functions.count("GetModuleHandleA")) << "the import names were not read";
  EXPECT_FALSE(functions.count("RtlUnwind"));
}

// The scan above, on hand-assembled fragments: both encodings of a store to
// fs:[0] are found, loads from it and stores elsewhere in the block are not.
TEST(HandlerChainScan, FindsStoresToTheChainHeadOnly) {
  using namespace std::string_literals;
  EXPECT_EQ(FindHandlerChainWrite("\x90\x90\x64\xA3\0\0\0\0\x90"s), 2u);
  EXPECT_EQ(FindHandlerChainWrite("\x90\x64\x89\x25\0\0\0\0"s), 1u);  // mov fs:[0], esp
  EXPECT_EQ(FindHandlerChainWrite("\x64\x89\x0D\0\0\0\0\x90"s), 0u);  // mov fs:[0], ecx
  EXPECT_EQ(FindHandlerChainWrite("\x64\xA1\0\0\0\0\x90\x90"s), std::string::npos);  // load
  EXPECT_EQ(FindHandlerChainWrite("\x64\xA1\x18\0\0\0\x8B\x78\x04"s), std::string::npos);
  EXPECT_EQ(FindHandlerChainWrite("\x64\x89\x0D\x04\0\0\0\x90"s), std::string::npos);
  EXPECT_EQ(FindHandlerChainWrite("\x64\xA3\0\0\0"s), std::string::npos);  // cut short
}

TEST_P(ExecutableTest, ImportsOnlyTheSystemsOwnLibraries) {
  // Anything else (the theme library, the image helpers) is loaded at run
  // time from the system folder, so a DLL planted beside the program is never used.
  const std::set<std::string> allowed = {"advapi32.dll", "comctl32.dll", "gdi32.dll",
                                         "kernel32.dll", "msvcrt.dll",   "ole32.dll",
                                         "shell32.dll",  "user32.dll"};
  const std::set<std::string> imported = ImportedLibraries();
  EXPECT_TRUE(imported.count("kernel32.dll"));
  for (const std::string& name : imported) EXPECT_TRUE(allowed.count(name)) << name;
}

INSTANTIATE_TEST_SUITE_P(ShippedPrograms, ExecutableTest,
                         ::testing::Values(SETUP_RELEASE_EXE, UNINSTALL_RELEASE_EXE),
                         [](const ::testing::TestParamInfo<const char*>& program) {
                           return std::string(program.index == 0 ? "Setup" : "Uninstall");
                         });

}  // namespace
