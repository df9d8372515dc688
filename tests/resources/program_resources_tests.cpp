// The manifest, version information and icon groups of the built program;
// the manifest of the Uninstall.exe it carries.
#include "product/product_definition.h"
#include "tests/resources/built_program.h"

#include <cstring>
#include <set>
#include <tuple>

namespace {

using ProgramResources = test::BuiltProgram;

// The text of the first element `<tag ...>` that contains `marker`.
std::string Element(std::string_view xml, std::string_view tag, std::string_view marker = "") {
  const std::string open = "<" + std::string(tag) + " ";
  for (size_t at = xml.find(open); at != std::string_view::npos; at = xml.find(open, at + 1)) {
    const std::string_view element = xml.substr(at, xml.find('>', at) - at + 1);
    if (element.find(marker) != std::string_view::npos) return std::string(element);
  }
  return {};
}

// Either program's manifest: Setup.exe's, and the uninstaller's, without
// which the system would guess its rights from its file name (its copy in
// the temporary folder has another) and draw its messages in the old style.
class ProgramManifest : public test::BuiltProgram,
                        public ::testing::WithParamInterface<const char*> {
 protected:
  void SetUp() override { Load(GetParam()); }
};

TEST_P(ProgramManifest, BindsCommonControls6AndAsksForTheHighestRightsAvailable) {
  const std::string_view manifest = Resource(RT_MANIFEST, MAKEINTRESOURCEA(1));
  EXPECT_EQ(manifest.substr(0, 5), "<?xml");
  EXPECT_NE(manifest.find("encoding=\"UTF-8\""), std::string_view::npos);

  const std::string own = Element(manifest, "assemblyIdentity");
  EXPECT_NE(own.find("type=\"win32\""), std::string::npos) << own;
  EXPECT_NE(own.find("processorArchitecture=\"*\""), std::string::npos) << own;

  const std::string controls =
      Element(manifest, "assemblyIdentity", "name=\"Microsoft.Windows.Common-Controls\"");
  ASSERT_FALSE(controls.empty()) << manifest;
  for (const char* attribute :
       {"type=\"win32\"", "version=\"6.0.0.0\"", "publicKeyToken=\"6595b64144ccf1df\"",
        "language=\"*\"", "processorArchitecture=\"*\""}) {
    EXPECT_NE(controls.find(attribute), std::string::npos) << attribute << " in " << controls;
  }
  EXPECT_NE(manifest.find("<dependentAssembly>"), std::string_view::npos);

  const std::string level = Element(manifest, "requestedExecutionLevel");
  EXPECT_NE(level.find("level=\"highestAvailable\""), std::string::npos) << level;
  EXPECT_NE(level.find("uiAccess=\"false\""), std::string::npos) << level;
}

// Sharp on scaled displays: aware of each monitor's scale where the system
// knows it (Windows 10 1703 on), else of the system's, never stretched.
TEST_P(ProgramManifest, DeclaresPerMonitorAwarenessWithASystemAwareFallback) {
  const std::string_view manifest = Resource(RT_MANIFEST, MAKEINTRESOURCEA(1));
  // An element of the window settings with its text, up to the next tag.
  const auto setting = [&](std::string_view tag) {
    const size_t at = manifest.find("<" + std::string(tag) + " ");
    return at == std::string_view::npos ? std::string_view{}
                                        : manifest.substr(at, manifest.find('<', at + 1) - at);
  };
  EXPECT_EQ(setting("dpiAwareness"),
            "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
            "PerMonitorV2, System");
  EXPECT_EQ(setting("dpiAware"),
            "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true");
  EXPECT_NE(manifest.find("<windowsSettings>"), std::string_view::npos);
}

INSTANTIATE_TEST_SUITE_P(ShippedPrograms, ProgramManifest,
                         ::testing::Values(SETUP_RELEASE_EXE, UNINSTALL_RELEASE_EXE),
                         [](const ::testing::TestParamInfo<const char*>& program) {
                           return std::string(program.index == 0 ? "Setup" : "Uninstall");
                         });

class VersionInformation : public test::BuiltProgram {
 protected:
  void SetUp() override {
    BuiltProgram::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    DWORD ignored = 0;
    block_.resize(GetFileVersionInfoSizeA(Path().c_str(), &ignored));
    ASSERT_FALSE(block_.empty()) << "error " << GetLastError();
    ASSERT_TRUE(GetFileVersionInfoA(Path().c_str(), 0, block_.size(), block_.data()));
  }

  std::string_view Query(const std::string& path) {
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block_.data(), path.c_str(), &value, &length)) {
      ADD_FAILURE() << path << " is missing";
      return {};
    }
    return {static_cast<const char*>(value), length};
  }

  std::string Text(const char* key) {
    return std::string(Query(std::string("\\StringFileInfo\\040904E4\\") + key).data());
  }

  std::vector<char> block_;
};

TEST_F(VersionInformation, FixedPartDescribesSetup2AsA32BitApplication) {
  VS_FIXEDFILEINFO fixed{};
  const std::string_view bytes = Query("\\");
  ASSERT_EQ(bytes.size(), sizeof fixed);
  std::memcpy(&fixed, bytes.data(), sizeof fixed);
  EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed.dwFileVersionMS, 0x00020000u);
  EXPECT_EQ(fixed.dwFileVersionLS, 0u);
  EXPECT_EQ(fixed.dwProductVersionMS, 0x00020000u);
  EXPECT_EQ(fixed.dwProductVersionLS, 0u);
  EXPECT_EQ(fixed.dwFileFlagsMask, 0x3Fu);
  EXPECT_EQ(fixed.dwFileFlags, 0u);
  EXPECT_EQ(fixed.dwFileOS, 0x4u);
  EXPECT_EQ(fixed.dwFileType, 1u);
  EXPECT_EQ(fixed.dwFileSubtype, 0u);
  EXPECT_EQ(fixed.dwFileDateMS, 0u);
  EXPECT_EQ(fixed.dwFileDateLS, 0u);
}

TEST_F(VersionInformation, StringsNameThePublisherAndTheProgram) {
  EXPECT_EQ(Text("CompanyName"), std::string(product::Publisher) + ", " + product::PublisherUrl);
  EXPECT_EQ(Text("FileDescription"), "Installation program");
  EXPECT_EQ(Text("FileVersion"), "2.0.0.0");
  EXPECT_EQ(Text("InternalName"), "Setup");
  EXPECT_EQ(Text("LegalCopyright").find("Copyright"), 0u);
  EXPECT_NE(Text("LegalCopyright").find(product::Publisher), std::string::npos);
  EXPECT_EQ(Text("LegalTrademarks"), "");
  EXPECT_EQ(Text("OriginalFilename"), "Setup.exe");
  EXPECT_EQ(Text("ProductName"), "Installation program");
  EXPECT_EQ(Text("ProductVersion"), "2.0.0.0");
  EXPECT_NE(Text("Comments").find(product::Publisher), std::string::npos);

  const std::string_view translation = Query("\\VarFileInfo\\Translation");
  ASSERT_EQ(translation.size(), 4u);
  WORD pair[2]{};
  std::memcpy(pair, translation.data(), sizeof pair);
  EXPECT_EQ(pair[0], 0x0409);
  EXPECT_EQ(pair[1], 0x04E4);
}

// One node of the version resource: its key and the bytes of its children.
struct VersionNode {
  std::wstring key;
  std::string_view children;
  size_t size = 0;  // with the padding to the next node
};

VersionNode ReadNode(std::string_view bytes) {
  auto word = [&](size_t at) {
    WORD w = 0;
    if (at + 2 <= bytes.size()) std::memcpy(&w, bytes.data() + at, 2);
    return w;
  };
  auto align = [](size_t at) { return (at + 3) & ~size_t{3}; };
  VersionNode node;
  const size_t length = std::min<size_t>(word(0), bytes.size());
  size_t at = 6;
  for (; at + 2 <= length && word(at) != 0; at += 2) node.key += static_cast<wchar_t>(word(at));
  at = align(at + 2);
  at += word(2) * (word(4) == 1 ? 2 : 1);  // text values count 16-bit units
  if (length < 6 || at > length) {
    ADD_FAILURE() << "malformed version node";
    node.size = bytes.size();
    return node;
  }
  at = std::min(align(at), length);  // a leaf may end without padding
  node.children = bytes.substr(at, length - at);
  node.size = align(length);
  return node;
}

std::vector<VersionNode> Children(std::string_view children) {
  std::vector<VersionNode> nodes;
  while (!children.empty()) {
    nodes.push_back(ReadNode(children));
    children.remove_prefix(std::min(nodes.back().size, children.size()));
  }
  return nodes;
}

TEST_F(ProgramResources, OneStringTableWithTheKeysInOrder) {
  const VersionNode root = ReadNode(Resource(RT_VERSION, MAKEINTRESOURCEA(1)));
  EXPECT_EQ(root.key, L"VS_VERSION_INFO");
  std::vector<std::wstring> blocks, tables, keys;
  for (const VersionNode& block : Children(root.children)) {
    blocks.push_back(block.key);
    if (block.key != L"StringFileInfo") continue;
    for (const VersionNode& table : Children(block.children)) {
      tables.push_back(table.key);
      for (const VersionNode& entry : Children(table.children)) keys.push_back(entry.key);
    }
  }
  EXPECT_EQ(blocks, (std::vector<std::wstring>{L"StringFileInfo", L"VarFileInfo"}));
  EXPECT_EQ(tables, std::vector<std::wstring>{L"040904E4"});
  EXPECT_EQ(keys, (std::vector<std::wstring>{L"CompanyName", L"FileDescription", L"FileVersion",
                                             L"InternalName", L"LegalCopyright", L"LegalTrademarks",
                                             L"OriginalFilename", L"ProductName", L"ProductVersion",
                                             L"Comments"}));
}

#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE width, height, colourCount, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

using ImageKind = std::tuple<int, int>;  // size, bits per pixel

// How many pixels of an icon image are transparent: by the AND mask in a
// palette image, by the alpha channel in a 32-bit one.
int TransparentPixels(std::string_view image, int size, int bits) {
  const BITMAPINFOHEADER header = test::BitmapHeader(image);
  const size_t colourStride = ((size * bits + 31) / 32) * 4;
  const size_t maskStride = ((size + 31) / 32) * 4;
  const size_t palette = bits < 32 ? (size_t{1} << bits) * 4 : 0;
  const size_t colour = header.biSize + palette;
  const size_t mask = colour + colourStride * size;
  if (image.size() < mask + maskStride * size) {
    ADD_FAILURE() << "image data too short: " << image.size();
    return 0;
  }
  int transparent = 0;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      if (bits == 32) {
        transparent += static_cast<BYTE>(image[colour + y * colourStride + x * 4 + 3]) == 0;
      } else {
        transparent += (static_cast<BYTE>(image[mask + y * maskStride + x / 8]) >> (7 - x % 8)) & 1;
      }
    }
  }
  return transparent;
}

// Checks every image of an icon group against its own header and the system's
// icon loader, and answers the kinds of image the group holds.
std::multiset<ImageKind> CheckIconGroup(HMODULE module, std::string_view group) {
  std::multiset<ImageKind> kinds;
  WORD header[3]{};
  if (group.size() < sizeof header) return kinds;
  std::memcpy(header, group.data(), sizeof header);
  EXPECT_EQ(header[1], 1) << "an icon group";
  EXPECT_EQ(group.size(), sizeof header + header[2] * sizeof(GroupIconEntry));
  for (WORD i = 0; i < header[2] && (i + 1) * sizeof(GroupIconEntry) + 6 <= group.size(); ++i) {
    GroupIconEntry entry{};
    std::memcpy(&entry, group.data() + sizeof header + i * sizeof entry, sizeof entry);
    const int size = entry.width ? entry.width : 256;
    kinds.insert({size, entry.bitCount});
    SCOPED_TRACE(testing::Message() << size << "x" << size << " at " << entry.bitCount << " bpp");
    EXPECT_EQ(entry.colourCount, entry.bitCount == 4 ? 16 : 0);

    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(entry.id), RT_ICON);
    if (!found) {
      ADD_FAILURE() << "image " << entry.id << " missing";
      continue;
    }
    auto* bytes = static_cast<BYTE*>(LockResource(LoadResource(module, found)));
    const std::string_view image(reinterpret_cast<const char*>(bytes),
                                 SizeofResource(module, found));
    EXPECT_EQ(image.size(), entry.bytes);
    const BITMAPINFOHEADER bitmap = test::BitmapHeader(image);
    EXPECT_EQ(bitmap.biWidth, size);
    EXPECT_EQ(bitmap.biHeight, 2 * size) << "colour and mask rows";
    EXPECT_EQ(bitmap.biBitCount, entry.bitCount);
    const int transparent = TransparentPixels(image, size, entry.bitCount);
    EXPECT_GT(transparent, 0) << "the corners show what is behind the icon";
    EXPECT_LT(transparent, size * size / 2) << "the picture covers most of the image";
    platform::UniqueIcon icon(
        CreateIconFromResourceEx(bytes, entry.bytes, TRUE, 0x00030000, size, size, 0));
    EXPECT_TRUE(icon) << "the system does not take the image, error " << GetLastError();
  }
  return kinds;
}

TEST_F(ProgramResources, MainIconComesFirstWithNineImagesAndTheLogoSecond) {
  const std::vector<std::string> groups = Names(RT_GROUP_ICON);
  EXPECT_EQ(groups, (std::vector<std::string>{"MAINICON", "NEROVANE"}));

  const std::multiset<ImageKind> main =
      CheckIconGroup(module(), Resource(RT_GROUP_ICON, "MAINICON"));
  EXPECT_EQ(
      main,
      (std::multiset<ImageKind>{
          {48, 4}, {48, 8}, {48, 32}, {32, 4}, {32, 8}, {32, 32}, {16, 4}, {16, 8}, {16, 32}}));
  const std::multiset<ImageKind> logo =
      CheckIconGroup(module(), Resource(RT_GROUP_ICON, "NEROVANE"));
  EXPECT_EQ(logo, (std::multiset<ImageKind>{{32, 4}}));
}

}  // namespace
