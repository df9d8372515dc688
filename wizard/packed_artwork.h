// The pictures drawn for scaled displays, kept in the program as zlib
// streams (RCDATA): flat colours pack to a sixth of their size, so carrying
// a picture at every scale costs the program little.
#pragma once

#include "wizard/display_scale.h"
#include "wizard/glyph.h"

#include "platform/unique_resource.h"

#include <cstdint>
#include <vector>

namespace wizard {

// The bytes a packed RCDATA resource inflates to; empty when the program
// does not carry it or its stream is damaged.
std::vector<std::uint8_t> UnpackedResource(const char* name);

// A glyph of the set for a scale: the plain bitmap resource at 100 %, else
// the packed .bmp file of that name.
Glyph ScaledGlyph(const char* name, DisplayScale scale, int imageCount);

// The welcome picture's icon of the set for a scale, at `size` pixels.
platform::UniqueIcon ScaledIcon(const char* name, DisplayScale scale, int size);

}  // namespace wizard
