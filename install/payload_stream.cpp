#include "install/payload_stream.h"

#include "platform/error.h"

#include <algorithm>

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
    : stored_(stored), storedSize_(storedSize) {
  RaiseOnFailure("inflateInit_",
                 inflateInit_(&stream_, kStreamVersion, static_cast<int>(sizeof(z_stream))));
}

PayloadInflater::~PayloadInflater() {
  // Releasing a valid state cannot fail; the result is not examined on purpose.
  inflateEnd(&stream_);
}

size_t PayloadInflater::Read(unsigned char* area, size_t size) noexcept {
  stream_.next_out = area;
  stream_.avail_out = static_cast<uInt>(size);
  while (stream_.avail_out > 0 && !ended_ && fault_ == 0) {
    if (stream_.avail_in == 0 && !FillInput()) break;
    const int result = inflate(&stream_, Z_NO_FLUSH);
    if (result != Z_OK && result != Z_STREAM_END) {
      fault_ = result < 0 ? result : Z_DATA_ERROR;
      faultResult_ = result;
    }
    ended_ = result == Z_STREAM_END;
  }
  // Bytes after the end of the stream belong to no payload: never inflated.
  if (ended_) stream_.avail_in = 0;
  return size - stream_.avail_out;
}

// Points the inflater at the next input where it is stored; false when
// none is left. zlib only reads through next_in.
bool PayloadInflater::FillInput() noexcept {
  const size_t count = std::min(kInputSize, storedSize_ - position_);
  if (count == 0) return false;
  stream_.next_in = const_cast<unsigned char*>(stored_ + position_);
  stream_.avail_in = static_cast<uInt>(count);
  position_ += count;
  return true;
}

}  // namespace install
