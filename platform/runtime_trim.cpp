// Parts of the C++ runtime replaced by small ones of our own, in Setup.exe
// and the product's uninstaller: two error paths and the exception
// bookkeeping. Nothing else in the runtime changes.
#include "platform/error.h"

#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>

// The default terminate handler prints the name of the uncaught exception's
// type, which links in the whole symbol demangler (about 46 KB). A program's
// errors are caught by its barriers (the window procedure's and WinMain's),
// so it ends silently instead, should that ever be reached.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
  std::abort();
}
}  // namespace __gnu_cxx

// The standard library reports a misused container (an index out of range, a
// text longer than memory allows) through these. The runtime's own versions
// build the standard exception classes, whose copy-on-write strings bring
// about 50 KB of string code that the programs never use otherwise. Here the
// report is the program's own error, which a barrier shows like any other;
// memory that ran out stays std::bad_alloc.
namespace std {
void __throw_bad_alloc() {
  throw std::bad_alloc();
}
void __throw_bad_array_new_length() {
  throw std::bad_array_new_length();
}
void __throw_length_error(const char* text) {
  platform::Raise(text);
}
void __throw_logic_error(const char* text) {
  platform::Raise(text);
}
void __throw_out_of_range(const char* text) {
  platform::Raise(text);
}
void __throw_out_of_range_fmt(const char*, ...) {
  platform::Raise("Index out of range");  // the library's format is not meant for users
}
void __throw_invalid_argument(const char* text) {
  platform::Raise(text);
}
void __throw_bad_function_call() {
  platform::Raise("bad function call");
}
}  // namespace std

// The exceptions in flight are kept per thread, which the runtime does
// through emulated thread-local storage and the threads library (about 4 KB).
// The program's own code runs on one thread only, so one record serves: the
// runtime's layout, the chain of caught exceptions and the count of those
// thrown and not yet caught, both empty at start.
namespace {
struct ExceptionGlobals {
  void* caughtExceptions;
  unsigned int uncaughtExceptions;
};
ExceptionGlobals exceptionGlobals{};
}  // namespace

extern "C" void* __cxa_get_globals() noexcept {
  return &exceptionGlobals;
}
extern "C" void* __cxa_get_globals_fast() noexcept {
  return &exceptionGlobals;
}

// Room for an exception in flight: the object thrown behind the runtime's
// record of it, which this compiler's 32-bit runtime makes 96 bytes long (a
// reference count, then the record, aligned like the unwinder's header) and
// finds again by that offset. The runtime's own versions keep an emergency
// pool, made at start with a lock and its thread support (about 3.5 KB of the
// program); here a small reserve serves when the heap refuses, enough for
// the std::bad_alloc that then follows.
namespace {
constexpr std::size_t kExceptionHeader = 96;
alignas(16) unsigned char exceptionReserve[256];
bool exceptionReserveTaken = false;
}  // namespace

extern "C" void* __cxa_allocate_exception(std::size_t thrownSize) noexcept {
  const std::size_t size = kExceptionHeader + thrownSize;
  auto* block = static_cast<unsigned char*>(std::malloc(size));
  if (!block && !exceptionReserveTaken && size <= sizeof exceptionReserve) {
    exceptionReserveTaken = true;
    block = exceptionReserve;
  }
  if (!block) std::terminate();
  std::memset(block, 0, kExceptionHeader);
  return block + kExceptionHeader;
}

extern "C" void __cxa_free_exception(void* thrown) noexcept {
  auto* block = static_cast<unsigned char*>(thrown) - kExceptionHeader;
  if (block == exceptionReserve) {
    exceptionReserveTaken = false;
  } else {
    std::free(block);
  }
}
