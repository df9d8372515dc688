// ExtractPayload: one "BINARY" resource of the payload module inflated into
// its target file. The stored stream is inflated twice, once to learn the
// file's size and once to write it, so the inflated file is never held in
// memory whole.
#include "install/installer.h"
#include "install/payload_stream.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/unique_resource.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace install {

namespace {

constexpr size_t kCopyGranularity = 8192;
constexpr size_t kScratchSize = 8192;
constexpr size_t kMaxChunk = 61440;

struct ResourceView {
  platform::UniqueResourceData handle;
  const unsigned char* data = nullptr;
  size_t size = 0;
};

[[noreturn]] void RaiseNotFound(const std::string& name, platform::FailedCall call) {
  platform::Raise(platform::Format("Resource %s not found", name.c_str()), std::move(call));
}

ResourceView LoadPayloadResource(HMODULE module, const std::string& name) {
  const HRSRC found = FindResourceA(module, name.c_str(), "BINARY");
  if (!found) RaiseNotFound(name, platform::Win32Failure("FindResourceA", GetLastError()));
  ResourceView view;
  view.handle.reset(LoadResource(module, found));
  if (!view.handle) RaiseNotFound(name, platform::Win32Failure("LoadResource", GetLastError()));
  view.size = SizeofResource(module, found);
  view.data = static_cast<const unsigned char*>(LockResource(view.handle.get()));
  if (!view.data) RaiseNotFound(name, platform::CodelessFailure("LockResource"));
  return view;
}

// The inflater reads from a private copy of the stored stream, never from
// the resource view.
platform::UniqueHeapBlock CopyStoredStream(const ResourceView& view) {
  const size_t capacity = (view.size + kCopyGranularity - 1) / kCopyGranularity * kCopyGranularity;
  platform::UniqueHeapBlock copy(HeapAlloc(GetProcessHeap(), 0, capacity));
  // The heap sets no error code for a block it cannot give.
  if (!copy) platform::Raise(InflateErrorText(Z_MEM_ERROR), platform::CodelessFailure("HeapAlloc"));
  std::memcpy(copy.get(), view.data, view.size);
  return copy;
}

// The size pass: everything inflated into a small scratch area and dropped.
size_t MeasureInflatedSize(PayloadInflater& inflater) {
  inflater.Reset();
  unsigned char scratch[kScratchSize];
  while (inflater.Read(scratch, sizeof scratch) > 0) {
  }
  return inflater.Produced();
}

// A write that fails, or writes less without failing (no code then), ends the copy.
void WriteChunk(HANDLE file, const unsigned char* data, size_t count) {
  DWORD written = 0;
  if (!WriteFile(file, data, static_cast<DWORD>(count), &written, nullptr)) {
    platform::Raise("Stream write error", platform::Win32Failure("WriteFile", GetLastError()));
  }
  if (written < count) {
    platform::Raise("Stream write error", platform::CodelessFailure("WriteFile"));
  }
}

// The copy pass: `size` bytes through one chunk of at most 61,440 bytes.
void CopyInflated(PayloadInflater& inflater, HANDLE file, size_t size) {
  inflater.Reset();
  std::vector<unsigned char> chunk(std::min(size, kMaxChunk));
  for (size_t remaining = size; remaining > 0;) {
    const size_t count = std::min(chunk.size(), remaining);
    if (inflater.Read(chunk.data(), count) < count) platform::Raise("Stream read error");
    WriteChunk(file, chunk.data(), count);
    remaining -= count;
  }
}

// Inflates the stored stream into a new target file; false, with nothing
// written, when the stream stops before its end marker. The inflater is
// released before the file is closed.
bool InflateIntoFile(const std::string& targetPath, const unsigned char* stored, size_t size) {
  const platform::UniqueFile file = platform::CreateFileForWriting(targetPath);
  PayloadInflater inflater(stored, size);
  const size_t inflatedSize = MeasureInflatedSize(inflater);
  if (!inflater.Ended()) return false;
  CopyInflated(inflater, file.get(), inflatedSize);
  return true;
}

}  // namespace

unsigned long long Installer::PayloadSize(const std::string& resourceName) const {
  const ResourceView view = LoadPayloadResource(payloadModule_, resourceName);
  return InflatedSize(view.data, view.size);
}

bool Installer::ExtractPayload(const std::string& targetPath, const std::string& resourceName) {
  const ResourceView view = LoadPayloadResource(payloadModule_, resourceName);
  const platform::UniqueHeapBlock copy = CopyStoredStream(view);
  if (!InflateIntoFile(targetPath, static_cast<const unsigned char*>(copy.get()), view.size)) {
    // A stream cut short would install a truncated program: the result is
    // false whatever becomes of its still empty file, which goes if it can
    // (something may hold it open), so the deletion's result is not examined.
    DeleteFileA(targetPath.c_str());
    return false;
  }
  return platform::FileExists(targetPath);
}

}  // namespace install
