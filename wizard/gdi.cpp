#include "wizard/gdi.h"

#include "platform/error.h"

#include <algorithm>

namespace wizard {
namespace {

HDC KeptMemoryDc(const platform::UniqueMemoryDc& dc) {
  // Made long before (kept); GDI sets no error code for it anyway.
  if (!dc) {
    platform::Raise("Failed to create a drawing surface",
                    platform::CodelessFailure("CreateCompatibleDC"));
  }
  return dc.get();
}

platform::UniqueBitmap NewBitmap(HDC reference, int width, int height) {
  platform::UniqueBitmap bitmap(CreateCompatibleBitmap(reference, width, height));
  if (!bitmap) {
    platform::Raise("Failed to create a drawing surface",
                    platform::CodelessFailure("CreateCompatibleBitmap"));
  }
  return bitmap;
}

// The off-screen surface, kept and grown to the largest window painted so
// far. Paints never nest, so one serves every window.
struct KeptSurface {
  platform::UniqueBitmap bitmap;  // declared first: released once the DC lets go of it
  platform::UniqueMemoryDc dc{CreateCompatibleDC(nullptr)};
  SIZE size{};
};

}  // namespace

HDC ScratchDc() {
  static const platform::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  return KeptMemoryDc(dc);
}

// Making a bitmap compatible with the screen costs the system a look at the
// display each time: the surface is made again only when a larger one is needed.
OffscreenSurface::OffscreenSurface(HDC reference, int width, int height) {
  static KeptSurface kept;
  dc_ = KeptMemoryDc(kept.dc);
  if (width <= kept.size.cx && height <= kept.size.cy) return;
  const SIZE size{std::max<LONG>(width, kept.size.cx), std::max<LONG>(height, kept.size.cy)};
  platform::UniqueBitmap larger = NewBitmap(reference, size.cx, size.cy);
  SelectObject(dc_, larger.get());
  kept.bitmap = std::move(larger);  // the smaller one, no longer selected, is released
  kept.size = size;
}

}  // namespace wizard
