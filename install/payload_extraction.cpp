// ExtractPayload: one "BINARY" resource of the payload module inflated into
// its target file in one pass, straight from where the resource lies: the
// inflated file passes through one chunk and the stored stream is never
// copied, so memory stays the same whatever the product's size.
#include "install/installer.h"
#include "install/payload_stream.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/unique_resource.h"

#include <optional>
#include <vector>

namespace install {

namespace {

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

// A stream found damaged or cut short leaves no part of itself behind: the
// file stays as if nothing had been inflated into it, empty. Should cutting
// it back fail, the stream's fault is still what is reported, so the
// results are not examined.
void CutBackToEmpty(HANDLE file) noexcept {
  SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  SetEndOfFile(file);
}

[[noreturn]] void RaiseDamaged(HANDLE file, const PayloadInflater& inflater) {
  CutBackToEmpty(file);
  platform::Raise(InflateErrorText(inflater.Fault()),
                  platform::ZlibFailure("inflate", inflater.FaultResult()));
}

// Inflates the stored stream into a new target file in one pass, through
// one chunk of at most 61,440 bytes, telling `wrote` of each chunk; the
// file is closed when this returns.
Extraction InflateIntoFile(const std::string& targetPath, const ResourceView& view,
                           const ChunkObserver& wrote, bool anew) {
  const platform::UniqueFile file = anew ? platform::CreateNewFileForWriting(targetPath)
                                         : platform::CreateFileForWriting(targetPath);
  PayloadInflater inflater(view.data, view.size);
  std::vector<unsigned char> chunk(kMaxChunk);
  for (;;) {
    const size_t count = inflater.Read(chunk.data(), chunk.size());
    if (inflater.Fault() != 0) RaiseDamaged(file.get(), inflater);
    if (count == 0) break;
    WriteChunk(file.get(), chunk.data(), count);
    if (wrote && !wrote(count)) return Extraction::Stopped;
  }
  if (inflater.Ended()) return Extraction::Written;
  CutBackToEmpty(file.get());
  return Extraction::CutShort;
}

// The payload's inflated size as the build recorded it beside the stream:
// an RCDATA resource of the same name, eight bytes, least significant first.
std::optional<unsigned long long> RecordedSize(HMODULE module, const std::string& name) {
  const HRSRC found = FindResourceA(module, name.c_str(), RT_RCDATA);
  if (!found || SizeofResource(module, found) != 8) return std::nullopt;
  const HGLOBAL loaded = LoadResource(module, found);
  const auto* bytes = static_cast<const unsigned char*>(loaded ? LockResource(loaded) : nullptr);
  if (!bytes) return std::nullopt;
  unsigned long long size = 0;
  for (int i = 7; i >= 0; --i) size = size << 8 | bytes[i];
  return size;
}

}  // namespace

// A module built without the recorded sizes (a test's) has its stream
// inflated to learn it.
unsigned long long Installer::PayloadSize(const std::string& resourceName) const {
  if (const auto recorded = RecordedSize(payloadModule_, resourceName)) return *recorded;
  const ResourceView view = LoadPayloadResource(payloadModule_, resourceName);
  return InflatedSize(view.data, view.size);
}

bool Installer::ExtractPayload(const std::string& targetPath, const std::string& resourceName) {
  return Extract(targetPath, resourceName, {}, false) == Extraction::Written &&
         platform::FileExists(targetPath);
}

Extraction Installer::Extract(const std::string& targetPath, const std::string& resourceName,
                              const ChunkObserver& wrote, bool anew) {
  const ResourceView view = LoadPayloadResource(payloadModule_, resourceName);
  const Extraction result = InflateIntoFile(targetPath, view, wrote, anew);
  // A stream cut short would install a truncated program, and a file left
  // half written by a stop is no file of the product: either goes if it can
  // (something may hold it open), so the deletion's result is not examined
  // here; the caller lists what stays.
  if (result != Extraction::Written) DeleteFileA(targetPath.c_str());
  return result;
}

}  // namespace install
