// Making a picture smaller with an area filter: each new pixel is the
// average of the old pixels it covers, weighted by how much of each it
// covers. Used for a display between the scales the artwork is drawn for,
// which takes the next larger picture.
#pragma once

#include <cstdint>
#include <vector>

namespace wizard {

// Pixels as 0xAARRGGBB, straight (not premultiplied) alpha, rows top to bottom.
using ArgbPixels = std::vector<std::uint32_t>;

// A `width` × `height` picture shrunk to `newWidth` × `newHeight` (no
// larger than it); colours are averaged in proportion to their alpha.
ArgbPixels Shrink(const ArgbPixels& image, int width, int height, int newWidth, int newHeight);

// The same for a picture whose transparent pixels have the colour `key`: a
// new pixel is transparent where less than half of what it covers is picture.
std::vector<std::uint32_t> ShrinkKeyed(const std::vector<std::uint32_t>& image, int width,
                                       int height, int newWidth, int newHeight, std::uint32_t key);

}  // namespace wizard
