#include "wizard/shrink.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace wizard {
namespace {

// Premultiplied alpha, red, green, blue.
using Sample = std::array<double, 4>;

Sample Premultiplied(std::uint32_t pixel) {
  const double alpha = (pixel >> 24) / 255.0;
  return {alpha, ((pixel >> 16) & 0xFF) * alpha, ((pixel >> 8) & 0xFF) * alpha,
          (pixel & 0xFF) * alpha};
}

std::uint32_t Straight(const Sample& sample) {
  if (sample[0] <= 0) return 0;
  const auto channel = [&](double value) {
    return static_cast<std::uint32_t>(std::clamp(std::lround(value), 0L, 255L));
  };
  return channel(sample[0] * 255) << 24 | channel(sample[1] / sample[0]) << 16 |
         channel(sample[2] / sample[0]) << 8 | channel(sample[3] / sample[0]);
}

// How much of old pixel `from` lies in new pixel `to`, with `ratio` old pixels per new one.
double Overlap(int from, int to, double ratio) {
  const double start = std::max<double>(from, to * ratio);
  const double end = std::min<double>(from + 1, (to + 1) * ratio);
  return std::max(0.0, end - start);
}

// One direction at a time: rows first, then columns.
std::vector<Sample> ShrinkSamples(const std::vector<Sample>& image, int width, int height,
                                  int newWidth, int newHeight) {
  const double across = static_cast<double>(width) / newWidth;
  const double down = static_cast<double>(height) / newHeight;
  std::vector<Sample> rows(static_cast<size_t>(newWidth) * height, Sample{});
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < newWidth; ++x) {
      Sample& out = rows[static_cast<size_t>(y) * newWidth + x];
      for (int from = static_cast<int>(x * across); from < width && from < (x + 1) * across;
           ++from) {
        const double weight = Overlap(from, x, across) / across;
        for (int c = 0; c < 4; ++c)
          out[c] += image[static_cast<size_t>(y) * width + from][c] * weight;
      }
    }
  }
  std::vector<Sample> shrunk(static_cast<size_t>(newWidth) * newHeight, Sample{});
  for (int y = 0; y < newHeight; ++y) {
    for (int from = static_cast<int>(y * down); from < height && from < (y + 1) * down; ++from) {
      const double weight = Overlap(from, y, down) / down;
      for (int x = 0; x < newWidth; ++x) {
        for (int c = 0; c < 4; ++c) {
          shrunk[static_cast<size_t>(y) * newWidth + x][c] +=
              rows[static_cast<size_t>(from) * newWidth + x][c] * weight;
        }
      }
    }
  }
  return shrunk;
}

}  // namespace

ArgbPixels Shrink(const ArgbPixels& image, int width, int height, int newWidth, int newHeight) {
  std::vector<Sample> samples(image.size());
  std::transform(image.begin(), image.end(), samples.begin(), Premultiplied);
  const std::vector<Sample> shrunk = ShrinkSamples(samples, width, height, newWidth, newHeight);
  ArgbPixels result(shrunk.size());
  std::transform(shrunk.begin(), shrunk.end(), result.begin(), Straight);
  return result;
}

std::vector<std::uint32_t> ShrinkKeyed(const std::vector<std::uint32_t>& image, int width,
                                       int height, int newWidth, int newHeight, std::uint32_t key) {
  ArgbPixels argb(image.size());
  std::transform(image.begin(), image.end(), argb.begin(),
                 [key](std::uint32_t pixel) { return pixel == key ? 0u : 0xFF000000u | pixel; });
  ArgbPixels shrunk = Shrink(argb, width, height, newWidth, newHeight);
  for (std::uint32_t& pixel : shrunk) {
    if ((pixel >> 24) < 128) {
      pixel = key;
      continue;
    }
    pixel &= 0xFFFFFF;
    if (pixel == key) pixel ^= 1;  // a picture pixel in the key colour would vanish
  }
  return shrunk;
}

}  // namespace wizard
