// The grey backdrop behind the wizard's artwork: every row runs from 245 in
// the left-most column to 145 in the right-most, darker to the right.
#pragma once

#include "platform/unique_resource.h"

#include <cstddef>
#include <cstdint>

namespace wizard {

// The grey of column x in a backdrop `width` pixels wide (width >= 2):
// 245 - round(x * 100 / (width - 1)), halfway cases going to the even one.
std::uint8_t BackdropGrey(int x, int width);

// Fills 24-bit rows (blue, green, red per pixel), `stride` bytes apart.
void PaintBackdrop(std::uint8_t* rows, int width, int height, std::ptrdiff_t stride);

// A 24-bit bitmap of the given size holding the backdrop.
platform::UniqueBitmap CreateBackdropBitmap(int width, int height);

}  // namespace wizard
