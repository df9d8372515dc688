// Icons kept as complete .ico files in the program's RCDATA resources.
#pragma once

#include "platform/unique_resource.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace wizard {

struct IconImageRange {
  std::size_t offset;
  std::size_t size;
};

// The image of a .ico file whose size is closest to `size` pixels; none when
// the file is not a well-formed icon file.
std::optional<IconImageRange> FindIconImage(std::span<const std::uint8_t> file, int size);

// The icon of the bytes of an .ico file at `size` × `size` pixels; empty
// when they are malformed.
platform::UniqueIcon IconOfFile(std::span<const std::uint8_t> file, int size);

// The icon of an RCDATA resource of the program at `size` × `size` pixels;
// empty when the resource is missing or malformed.
platform::UniqueIcon LoadIconFileResource(const char* name, int size);

}  // namespace wizard
