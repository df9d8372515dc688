#include "wizard/gdi.h"

#include "platform/error.h"

namespace wizard {
namespace {

platform::UniqueMemoryDc NewMemoryDc(HDC reference) {
  platform::UniqueMemoryDc dc(CreateCompatibleDC(reference));
  if (!dc) platform::Raise("Failed to create a drawing surface");
  return dc;
}

platform::UniqueBitmap NewBitmap(HDC reference, int width, int height) {
  platform::UniqueBitmap bitmap(CreateCompatibleBitmap(reference, width, height));
  if (!bitmap) platform::Raise("Failed to create a drawing surface");
  return bitmap;
}

}  // namespace

OffscreenSurface::OffscreenSurface(HDC reference, int width, int height)
    : dc_(NewMemoryDc(reference)),
      bitmap_(NewBitmap(reference, width, height)),
      selected_(dc_.get(), bitmap_.get()) {}

}  // namespace wizard
