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
// the packed .bmp file of that name; between two sets, the larger one's
// shrunk to the scale. `designWidth` is an image's width at 100 %.
Glyph ScaledGlyph(const char* name, DisplayScale scale, int imageCount, int designWidth);

// An icon of the set for a scale, at its designed size scaled; between two
// sets, the larger one's shrunk to it.
platform::UniqueIcon ScaledIcon(const char* name, DisplayScale scale, int designSize);

// An icon made smaller with the area filter; empty when its pixels cannot be read.
platform::UniqueIcon ShrunkIcon(HICON icon, int size);

}  // namespace wizard
