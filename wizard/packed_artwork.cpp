#include "wizard/packed_artwork.h"

#include "install/payload_stream.h"
#include "wizard/gdi.h"
#include "wizard/icon_file.h"

#include <windows.h>

namespace wizard {
namespace {

// A .bmp file's bitmap, as the resource loader would make it of a BITMAP resource.
platform::UniqueBitmap BitmapOfFile(const std::vector<std::uint8_t>& file) {
  if (file.size() < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)) return {};
  BITMAPFILEHEADER header;
  memcpy(&header, file.data(), sizeof header);
  if (header.bfType != 0x4D42 || header.bfOffBits >= file.size()) return {};
  const auto* info = reinterpret_cast<const BITMAPINFO*>(file.data() + sizeof header);
  void* bits = nullptr;
  platform::UniqueBitmap bitmap(
      CreateDIBSection(ScratchDc(), info, DIB_RGB_COLORS, &bits, nullptr, 0));
  const BITMAPINFOHEADER& format = info->bmiHeader;
  const size_t stride = ((static_cast<size_t>(format.biWidth) * format.biBitCount + 31) / 32) * 4;
  const size_t size =
      stride * static_cast<size_t>(format.biHeight < 0 ? -format.biHeight : format.biHeight);
  if (!bitmap || size > file.size() - header.bfOffBits) return {};
  memcpy(bits, file.data() + header.bfOffBits, size);
  return bitmap;
}

}  // namespace

std::vector<std::uint8_t> UnpackedResource(const char* name) {
  const HMODULE module = GetModuleHandleA(nullptr);
  const HRSRC found = FindResourceA(module, name, MAKEINTRESOURCEA(10));  // RT_RCDATA
  const HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;  // module data: never freed
  const auto* stored = static_cast<const unsigned char*>(loaded ? LockResource(loaded) : nullptr);
  if (!stored) return {};
  const size_t storedSize = SizeofResource(module, found);
  std::vector<std::uint8_t> bytes(install::InflatedSize(stored, storedSize));
  install::PayloadInflater inflater(stored, storedSize);
  bytes.resize(inflater.Read(bytes.data(), bytes.size()));
  if (inflater.Fault()) bytes.clear();
  return bytes;
}

Glyph ScaledGlyph(const char* name, DisplayScale scale, int imageCount) {
  if (ArtworkPercent(scale) == 100) return Glyph::FromResource(name, imageCount);
  const platform::UniqueBitmap bitmap =
      BitmapOfFile(UnpackedResource(ArtworkName(name, scale).c_str()));
  return Glyph(bitmap.get(), imageCount);
}

platform::UniqueIcon ScaledIcon(const char* name, DisplayScale scale, int size) {
  if (ArtworkPercent(scale) == 100) return LoadIconFileResource(name, size);
  const std::vector<std::uint8_t> file = UnpackedResource(ArtworkName(name, scale).c_str());
  return IconOfFile(file, size);
}

}  // namespace wizard
