#include "wizard/icon_file.h"

#include <windows.h>

#include <cstdlib>
#include <limits>

namespace wizard {
namespace {

constexpr std::size_t kHeaderSize = 6;
constexpr std::size_t kEntrySize = 16;

unsigned Read16(std::span<const std::uint8_t> bytes, std::size_t at) {
  return bytes[at] | bytes[at + 1] << 8;
}

std::uint32_t Read32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return Read16(bytes, at) | static_cast<std::uint32_t>(Read16(bytes, at + 2)) << 16;
}

// A width or height byte of 0 stands for 256.
int Dimension(std::uint8_t byte) {
  return byte == 0 ? 256 : byte;
}

}  // namespace

std::optional<IconImageRange> FindIconImage(std::span<const std::uint8_t> file, int size) {
  if (file.size() < kHeaderSize || Read16(file, 0) != 0 || Read16(file, 2) != 1) return {};
  const std::size_t count = Read16(file, 4);
  if (count == 0 || file.size() < kHeaderSize + count * kEntrySize) return {};
  std::optional<IconImageRange> best;
  int bestDistance = std::numeric_limits<int>::max();
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t entry = kHeaderSize + i * kEntrySize;
    const std::size_t bytes = Read32(file, entry + 8), offset = Read32(file, entry + 12);
    if (offset > file.size() || bytes > file.size() - offset || bytes == 0) return {};
    const int distance = std::abs(Dimension(file[entry]) - size);
    if (distance < bestDistance) {
      bestDistance = distance;
      best = IconImageRange{offset, bytes};
    }
  }
  return best;
}

platform::UniqueIcon LoadIconFileResource(const char* name, int size) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(module, name, MAKEINTRESOURCEA(10));  // RT_RCDATA
  if (!found) return {};
  HGLOBAL loaded = LoadResource(module, found);  // module data: never freed
  const auto* data = static_cast<const std::uint8_t*>(loaded ? LockResource(loaded) : nullptr);
  if (!data) return {};
  return IconOfFile(std::span<const std::uint8_t>(data, SizeofResource(module, found)), size);
}

platform::UniqueIcon IconOfFile(std::span<const std::uint8_t> file, int size) {
  const std::optional<IconImageRange> image = FindIconImage(file, size);
  if (!image) return {};
  // CreateIconFromResourceEx takes a pointer to writable bytes but only reads.
  auto* bits = const_cast<std::uint8_t*>(file.data() + image->offset);
  return platform::UniqueIcon(CreateIconFromResourceEx(bits, static_cast<DWORD>(image->size), TRUE,
                                                       0x00030000, size, size, LR_DEFAULTCOLOR));
}

}  // namespace wizard
