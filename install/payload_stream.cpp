#include "install/payload_stream.h"

#include "platform/error.h"

#include <algorithm>
#include <cstring>

namespace install {

namespace {

// The stream format the payloads are built with; the structure size makes
// zlib check that this build and the library agree on the layout.
constexpr char kStreamVersion[] = "1.2.3";
static_assert(sizeof(void*) != 4 || sizeof(z_stream) == 56, "32-bit inflate state of 56 bytes");

void RaiseOnFailure(const char* function, int result) {
  if (result < 0) {
    platform::Raise(InflateErrorText(result), platform::ZlibFailure(function, result));
  }
}

// Inflating goes on only while it makes progress: any other result, such as
// a request for a preset dictionary no payload comes with (the inflater then
// answers the same on every call), ends the stream as damaged.
void RaiseUnlessProgress(int result) {
  RaiseOnFailure("inflate", result);
  if (result != Z_OK && result != Z_STREAM_END) {
    platform::Raise(InflateErrorText(Z_DATA_ERROR), platform::ZlibFailure("inflate", result));
  }
}

}  // namespace

const char* InflateErrorText(int code) {
  switch (code) {
    case Z_ERRNO:
      return "file error";
    case Z_STREAM_ERROR:
      return "stream error";
    case Z_DATA_ERROR:
      return "data error";
    case Z_MEM_ERROR:
      return "insufficient memory";
    case Z_BUF_ERROR:
      return "buffer error";
    case Z_VERSION_ERROR:
      return "incompatible version";
    default:
      return "";
  }
}

unsigned long long InflatedSize(const unsigned char* stored, size_t storedSize) noexcept {
  z_stream stream{};
  if (inflateInit_(&stream, kStreamVersion, static_cast<int>(sizeof(z_stream))) != Z_OK) return 0;
  unsigned long long produced = 0;
  unsigned char scratch[8192];
  for (size_t position = 0;;) {
    if (stream.avail_in == 0) {
      const size_t count = std::min(PayloadInflater::kInputSize, storedSize - position);
      if (count == 0) break;
      stream.next_in = const_cast<unsigned char*>(stored + position);  // zlib only reads it
      stream.avail_in = static_cast<uInt>(count);
      position += count;
    }
    stream.next_out = scratch;
    stream.avail_out = sizeof scratch;
    const int result = inflate(&stream, Z_NO_FLUSH);
    produced += sizeof scratch - stream.avail_out;
    if (result != Z_OK) break;  // the end, or a fault the extraction reports
  }
  // Releasing a valid state cannot fail; the result is not examined on purpose.
  inflateEnd(&stream);
  return produced;
}

PayloadInflater::PayloadInflater(const unsigned char* stored, size_t storedSize)
    : stored_(stored), storedSize_(storedSize), input_(new unsigned char[kInputSize]) {
  RaiseOnFailure("inflateInit_",
                 inflateInit_(&stream_, kStreamVersion, static_cast<int>(sizeof(z_stream))));
}

PayloadInflater::~PayloadInflater() {
  // Releasing a valid state cannot fail; the result is not examined on purpose.
  inflateEnd(&stream_);
}

void PayloadInflater::Reset() {
  RaiseOnFailure("inflateReset", inflateReset(&stream_));
  position_ = 0;
  stream_.next_in = nullptr;
  stream_.avail_in = 0;
  ended_ = false;
}

size_t PayloadInflater::Read(unsigned char* area, size_t size) {
  stream_.next_out = area;
  stream_.avail_out = static_cast<uInt>(size);
  while (stream_.avail_out > 0 && !ended_) {
    if (stream_.avail_in == 0 && !FillInput()) break;
    const int result = inflate(&stream_, Z_NO_FLUSH);
    RaiseUnlessProgress(result);
    ended_ = result == Z_STREAM_END;
  }
  if (ended_) ReturnUnusedInput();
  return size - stream_.avail_out;
}

// Takes the next input from the stored data; false when none is left.
bool PayloadInflater::FillInput() {
  const size_t count = std::min(kInputSize, storedSize_ - position_);
  if (count == 0) return false;
  std::memcpy(input_.get(), stored_ + position_, count);
  position_ += count;
  stream_.next_in = input_.get();
  stream_.avail_in = static_cast<uInt>(count);
  return true;
}

// Bytes after the end of the stream belong to no payload: they go back to
// the stored data unread.
void PayloadInflater::ReturnUnusedInput() {
  position_ -= stream_.avail_in;
  stream_.avail_in = 0;
}

}  // namespace install
