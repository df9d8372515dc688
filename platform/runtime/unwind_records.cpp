// Finding the unwind record of a code address, in Setup.exe. The runtime's
// version sorts every module's records into a table on the first exception,
// under a lock, and reads every address form (about 10 KB of the program).
// The program has one module whose records the start-up code registers, and
// it throws rarely, so a walk through the records serves. This compiler
// writes code addresses 4 bytes long, relative to where they are written or
// absolute; any other form ends the program.
//
// Records are registered and withdrawn only by the start-up and exit code,
// while one thread runs; any number of threads may search them meanwhile,
// as searching only reads.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#ifndef __SEH__  // 64-bit programs unwind with the system's tables instead

namespace {

// The first two words of the registration record the start-up code owns.
struct RegisteredRecords {
  const unsigned char* begin;
  RegisteredRecords* next;
};
RegisteredRecords* registeredRecords = nullptr;

// What the unwinder learns beside the record: no text or data base on this
// system, and where the function starts.
struct UnwindBases {
  void* textBase;
  void* dataBase;
  void* function;
};

constexpr unsigned char kRelativeToField = 0x10;

std::uint32_t Read32(const unsigned char* at) {
  std::uint32_t value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

const unsigned char* SkipLeb128(const unsigned char* at) {
  while (*at++ & 0x80) {
  }
  return at;
}

std::size_t EncodedSize(unsigned char encoding) {
  switch (encoding & 0x0F) {
    case 0x00:  // pointer
    case 0x03:  // unsigned, 4 bytes
    case 0x0B:  // signed, 4 bytes
      return 4;
    case 0x02:
    case 0x0A:
      return 2;
    case 0x04:
    case 0x0C:
      return 8;
    default:
      std::abort();
  }
}

// How the records sharing `common` (a CIE) write their code addresses: named
// by its augmentation 'R', absolute without one.
unsigned char AddressEncoding(const unsigned char* common) {
  const auto* augmentation = reinterpret_cast<const char*>(common + 9);  // length, id, version
  if (augmentation[0] != 'z') return 0;
  const unsigned char* at = common + 9 + std::strlen(augmentation) + 1;
  at = SkipLeb128(SkipLeb128(at));                // code and data alignment
  at = common[8] == 1 ? at + 1 : SkipLeb128(at);  // return address column
  at = SkipLeb128(at);                            // length of the augmentation data
  for (const char* letter = augmentation + 1; *letter != '\0'; ++letter) {
    if (*letter == 'R') return *at;
    if (*letter == 'P') at += 1 + EncodedSize(*at);
    if (*letter == 'L') at += 1;
  }
  return 0;
}

std::uintptr_t ReadCodeAddress(const unsigned char* at, unsigned char encoding) {
  if (EncodedSize(encoding) != 4 || (encoding & 0x70) > kRelativeToField) std::abort();
  std::uintptr_t address = Read32(at);
  if (encoding & kRelativeToField) address += reinterpret_cast<std::uintptr_t>(at);
  return address;
}

// The record (FDE) covering `pc` among those from `record` to the zero
// length that ends them; each starts with its length and the distance back
// to its CIE, which is 0 in a CIE itself.
const unsigned char* FindRecord(const unsigned char* record, std::uintptr_t pc,
                                UnwindBases* bases) {
  for (std::uint32_t length; (length = Read32(record)) != 0; record += 4 + length) {
    if (length == 0xFFFFFFFF) std::abort();  // 64-bit records: never on this system
    const std::uint32_t toCommon = Read32(record + 4);
    if (toCommon == 0) continue;
    const unsigned char encoding = AddressEncoding(record + 4 - toCommon);
    const std::uintptr_t start = ReadCodeAddress(record + 8, encoding);
    if (pc - start < Read32(record + 12)) {
      *bases = {nullptr, nullptr, reinterpret_cast<void*>(start)};
      return record;
    }
  }
  return nullptr;
}

}  // namespace

extern "C" void __register_frame_info(const void* begin, void* registration) noexcept {
  const auto* records = static_cast<const unsigned char*>(begin);
  if (Read32(records) == 0) return;
  auto* entry = static_cast<RegisteredRecords*>(registration);
  *entry = {records, registeredRecords};
  registeredRecords = entry;
}

extern "C" void* __deregister_frame_info(const void* begin) noexcept {
  for (RegisteredRecords** link = &registeredRecords; *link; link = &(*link)->next) {
    RegisteredRecords* entry = *link;
    if (entry->begin != begin) continue;
    *link = entry->next;
    return entry;
  }
  return nullptr;
}

extern "C" const void* _Unwind_Find_FDE(void* pc, UnwindBases* bases) noexcept {
  for (const RegisteredRecords* entry = registeredRecords; entry; entry = entry->next) {
    const auto* record = FindRecord(entry->begin, reinterpret_cast<std::uintptr_t>(pc), bases);
    if (record) return record;
  }
  return nullptr;
}

#endif  // __SEH__
