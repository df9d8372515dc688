// The inflater an extraction reads a payload through: a zlib inflate state
// reading the stored stream where it lies, in the program's own image,
// 65,536 bytes at a time. Nothing of the stream is copied, so the memory an
// installation needs does not grow with the product.
#pragma once

#include <zlib.h>

#include <cstddef>

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

  // Inflates up to `size` bytes into `area`; fewer only where the stream
  // ends, the stored data runs out or the stream turns out damaged. Raises
  // nothing: the caller decides what becomes of what it wrote before it
  // raises Fault()'s text.
  size_t Read(unsigned char* area, size_t size) noexcept;

  // The inflater result that stopped the stream as damaged, 0 while none
  // did: a negative result, or Z_DATA_ERROR for one that makes no progress
  // (a request for a preset dictionary no payload comes with: the inflater
  // would answer the same on every call).
  int Fault() const noexcept { return fault_; }
  int FaultResult() const noexcept { return faultResult_; }
  // True once the end-of-stream marker and checksum were reached.
  bool Ended() const noexcept { return ended_; }

 private:
  bool FillInput() noexcept;

  z_stream stream_{};
  const unsigned char* stored_;
  size_t storedSize_;
  size_t position_ = 0;  // where the next input is taken from the stored data
  bool ended_ = false;
  int fault_ = 0;
  int faultResult_ = 0;  // what inflate answered, for the administrator
};

}  // namespace install
