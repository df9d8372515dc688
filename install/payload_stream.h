// The inflater an extraction reads a payload through: a zlib inflate state
// over the memory copy of a stored stream, fed 65,536 bytes at a time.
#pragma once

#include <zlib.h>

#include <cstddef>
#include <memory>

namespace install {

// The fixed text for a negative inflater result, chosen by the code alone.
const char* InflateErrorText(int code);

// How many bytes the stored stream inflates to, read straight from where it
// is stored: up to its end, or to the first fault, which the extraction
// itself reports when it meets it. Raises nothing, so that a damaged
// payload fails the same way whatever asked for its size first.
unsigned long long InflatedSize(const unsigned char* stored, size_t storedSize) noexcept;

class PayloadInflater {
 public:
  static constexpr size_t kInputSize = 65536;

  // Raises the result's text when the inflater cannot be initialised.
  PayloadInflater(const unsigned char* stored, size_t storedSize);
  ~PayloadInflater();
  PayloadInflater(const PayloadInflater&) = delete;
  PayloadInflater& operator=(const PayloadInflater&) = delete;

  // Back to the start of the stored stream, nothing buffered or produced.
  void Reset();

  // Inflates up to `size` bytes into `area`; fewer only where the stream
  // ends or the stored data runs out. Negative inflater results raise their
  // text; any other result but progress or the end raises "data error".
  size_t Read(unsigned char* area, size_t size);

  // Bytes produced since the last reset.
  unsigned long Produced() const noexcept { return stream_.total_out; }
  // True once the end-of-stream marker and checksum were reached.
  bool Ended() const noexcept { return ended_; }

 private:
  bool FillInput();
  void ReturnUnusedInput();

  z_stream stream_{};
  const unsigned char* stored_;
  size_t storedSize_;
  size_t position_ = 0;  // where the next input is taken from the stored data
  std::unique_ptr<unsigned char[]> input_;
  bool ended_ = false;
};

}  // namespace install
