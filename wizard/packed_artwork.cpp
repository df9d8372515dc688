#include "wizard/packed_artwork.h"

#include "install/payload_stream.h"
#include "wizard/gdi.h"
#include "wizard/icon_file.h"
#include "wizard/shrink.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

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

// An icon's colour image as 0xAARRGGBB rows, and its size; empty when unreadable.
ArgbPixels IconPixels(HICON icon, SIZE& size) {
  ICONINFO parts{};
  if (!GetIconInfo(icon, &parts)) return {};
  const platform::UniqueBitmap colour(parts.hbmColor), mask(parts.hbmMask);
  BITMAP header{};
  if (!colour || !GetObjectA(colour.get(), sizeof header, &header)) return {};
  size = {header.bmWidth, header.bmHeight};
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, size.cx, -size.cy, 1, 32, BI_RGB};
  ArgbPixels pixels(static_cast<size_t>(size.cx) * size.cy);
  if (!GetDIBits(ScratchDc(), colour.get(), 0, size.cy, pixels.data(), &info, DIB_RGB_COLORS)) {
    return {};
  }
  return pixels;
}

// A `size` × `size` icon of 0xAARRGGBB rows, drawn with its alpha channel.
platform::UniqueIcon IconOfPixels(const ArgbPixels& pixels, int size) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, size, -size, 1, 32, BI_RGB};
  void* bits = nullptr;
  const platform::UniqueBitmap colour(
      CreateDIBSection(ScratchDc(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  // An all-zero mask: the alpha channel alone says what shows.
  const platform::UniqueBitmap mask(CreateBitmap(size, size, 1, 1, nullptr));
  if (!colour || !mask) return {};
  std::copy(pixels.begin(), pixels.end(), static_cast<std::uint32_t*>(bits));
  GdiFlush();
  ICONINFO parts{TRUE, 0, 0, mask.get(), colour.get()};
  return platform::UniqueIcon(CreateIconIndirect(&parts));
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

Glyph ScaledGlyph(const char* name, DisplayScale scale, int imageCount, int designWidth) {
  if (ArtworkPercent(scale) == 100) return Glyph::FromResource(name, imageCount);
  const platform::UniqueBitmap bitmap =
      BitmapOfFile(UnpackedResource(ArtworkName(name, scale).c_str()));
  return Glyph(bitmap.get(), imageCount).Shrunk(scale(designWidth));
}

platform::UniqueIcon ScaledIcon(const char* name, DisplayScale scale, int designSize) {
  const int size = scale(designSize);
  if (ArtworkPercent(scale) == 100) return LoadIconFileResource(name, size);
  const std::vector<std::uint8_t> file = UnpackedResource(ArtworkName(name, scale).c_str());
  const int drawn = (designSize * ArtworkPercent(scale) + 50) / 100;
  if (drawn <= size) return IconOfFile(file, size);
  const platform::UniqueIcon large = IconOfFile(file, drawn);
  platform::UniqueIcon shrunk = large ? ShrunkIcon(large.get(), size) : platform::UniqueIcon{};
  return shrunk ? std::move(shrunk) : IconOfFile(file, size);
}

platform::UniqueIcon ShrunkIcon(HICON icon, int size) {
  SIZE drawn{};
  const ArgbPixels pixels = IconPixels(icon, drawn);
  // Pixels read without their alpha: the system's own scaling does better.
  if (std::none_of(pixels.begin(), pixels.end(), [](std::uint32_t p) { return p >> 24; })) {
    return {};
  }
  return IconOfPixels(Shrink(pixels, drawn.cx, drawn.cy, size, size), size);
}

}  // namespace wizard
