// The exceptions in flight on each thread of Setup.exe, and their memory: the
// runtime's versions of both, made smaller. README.md in this folder says
// what they assume of the runtime.
#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <exception>

// The runtime keeps each thread's exceptions through emulated thread-local
// storage and the threads library (about 4 KB). Here a slot of the system's
// thread-local storage, taken on the first exception, points to the thread's
// record: the runtime's layout, the chain of caught exceptions and the count
// of those thrown and not yet caught, both empty at first. A thread's first
// exception may be the one saying that memory ran out, so records come from
// a small pool before the heap; each goes back when its thread ends.
namespace {

struct ExceptionGlobals {
  void* caughtExceptions;
  unsigned int uncaughtExceptions;
};

constexpr std::size_t kPooledRecords = 4;  // the window's thread, a worker, and to spare
ExceptionGlobals pooledRecords[kPooledRecords];
std::atomic_flag pooledRecordTaken[kPooledRecords];
std::atomic<DWORD> recordSlot{TLS_OUT_OF_INDEXES};

DWORD RecordSlot() noexcept {
  DWORD slot = recordSlot.load(std::memory_order_acquire);
  if (slot != TLS_OUT_OF_INDEXES) return slot;
  const DWORD taken = TlsAlloc();
  if (taken == TLS_OUT_OF_INDEXES) std::terminate();
  if (recordSlot.compare_exchange_strong(slot, taken, std::memory_order_acq_rel)) return taken;
  TlsFree(taken);  // another thread's came first, and is in `slot`
  return slot;
}

ExceptionGlobals* NewRecord() noexcept {
  for (std::size_t i = 0; i < kPooledRecords; ++i) {
    if (pooledRecordTaken[i].test_and_set(std::memory_order_acquire)) continue;
    pooledRecords[i] = {};
    return &pooledRecords[i];
  }
  return static_cast<ExceptionGlobals*>(std::calloc(1, sizeof(ExceptionGlobals)));
}

void ReleaseRecord(ExceptionGlobals* record) noexcept {
  const auto at = reinterpret_cast<std::uintptr_t>(record);
  const auto pool = reinterpret_cast<std::uintptr_t>(pooledRecords);
  if (at - pool >= sizeof pooledRecords) {
    std::free(record);
    return;
  }
  pooledRecordTaken[(at - pool) / sizeof(ExceptionGlobals)].clear(std::memory_order_release);
}

// Called by the system as each thread ends (a TLS callback).
void NTAPI ReleaseThreadRecord(void*, DWORD reason, void*) {
  const DWORD slot = recordSlot.load(std::memory_order_acquire);
  if (reason != DLL_THREAD_DETACH || slot == TLS_OUT_OF_INDEXES) return;
  if (auto* record = static_cast<ExceptionGlobals*>(TlsGetValue(slot))) {
    TlsSetValue(slot, nullptr);
    ReleaseRecord(record);
  }
}

}  // namespace

extern "C" __attribute__((section(".CRT$XLR"), used))
const PIMAGE_TLS_CALLBACK releaseThreadExceptionRecord = ReleaseThreadRecord;

// TlsGetValue clears the thread's last error, which a handler may still
// want to read: it is kept as it was.
extern "C" void* __cxa_get_globals() noexcept {
  const DWORD slot = RecordSlot();
  const DWORD lastError = GetLastError();
  auto* record = static_cast<ExceptionGlobals*>(TlsGetValue(slot));
  if (!record) {
    record = NewRecord();
    if (!record || !TlsSetValue(slot, record)) std::terminate();
  }
  SetLastError(lastError);
  return record;
}
extern "C" void* __cxa_get_globals_fast() noexcept {
  return __cxa_get_globals();
}

// Room for an exception in flight: the object thrown behind the runtime's
// record of it, which this compiler's runtime makes 96 bytes long in a 32-bit
// program and 160 in a 64-bit one (a reference count, then the record,
// aligned like the unwinder's header) and finds again by that offset. The
// runtime's own versions keep an emergency pool, made at start with a lock
// and its thread support (about 4 KB of the program); here a small reserve
// serves one thread at a time when the heap refuses, enough for the
// std::bad_alloc that follows.
namespace {
constexpr std::size_t kExceptionHeader = sizeof(void*) == 4 ? 96 : 160;
alignas(16) unsigned char exceptionReserve[256];
std::atomic_flag exceptionReserveTaken;
}  // namespace

extern "C" void* __cxa_allocate_exception(std::size_t thrownSize) noexcept {
  const std::size_t size = kExceptionHeader + thrownSize;
  auto* block = static_cast<unsigned char*>(std::malloc(size));
  if (!block && size <= sizeof exceptionReserve &&
      !exceptionReserveTaken.test_and_set(std::memory_order_acquire)) {
    block = exceptionReserve;
  }
  if (!block) std::terminate();
  std::memset(block, 0, kExceptionHeader);
  return block + kExceptionHeader;
}

extern "C" void __cxa_free_exception(void* thrown) noexcept {
  auto* block = static_cast<unsigned char*>(thrown) - kExceptionHeader;
  if (block == exceptionReserve) {
    exceptionReserveTaken.clear(std::memory_order_release);
  } else {
    std::free(block);
  }
}
