#include "wizard/gdi.h"

#include "platform/error.h"

namespace wizard {
namespace {

HDC KeptMemoryDc(const platform::UniqueMemoryDc& dc) {
  if (!dc) platform::Raise("Failed to create a drawing surface");
  return dc.get();
}

// The off-screen surfaces' own: a paint may draw bitmaps from ScratchDc onto it.
HDC SurfaceDc() {
  static const platform::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  return KeptMemoryDc(dc);
}

platform::UniqueBitmap NewBitmap(HDC reference, int width, int height) {
  platform::UniqueBitmap bitmap(CreateCompatibleBitmap(reference, width, height));
  if (!bitmap) platform::Raise("Failed to create a drawing surface");
  return bitmap;
}

}  // namespace

HDC ScratchDc() {
  static const platform::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  return KeptMemoryDc(dc);
}

OffscreenSurface::OffscreenSurface(HDC reference, int width, int height)
    : dc_(SurfaceDc()),
      bitmap_(NewBitmap(reference, width, height)),
      selected_(dc_, bitmap_.get()) {}

}  // namespace wizard
