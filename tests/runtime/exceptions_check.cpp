// Setup.exe's runtime stand-ins (platform/runtime) in a program built the way
// the release is, thrown through every path the program takes. Prints each
// failed check and ends with 1 when there was one.
#include "platform/error.h"
#include "platform/unique_resource.h"
#include "tests/runtime/opaque.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <new>
#include <string>
#include <utility>
#include <vector>

namespace {

int failures = 0;

void Check(bool condition, const char* what) {
  if (condition) return;
  ++failures;
  std::fprintf(stderr, "FAILED: %s\n", what);
}

// What reached a handler. The texts of the allocation failures fit in the
// string without memory of its own, so it is made even when memory is out.
struct Caught {
  const char* kind;
  std::string text;
};

template <typename Action>
Caught CatchFrom(Action&& action) {
  try {
    action();
  } catch (const platform::SetupError& error) {
    return {"SetupError", error.text()};
  } catch (const std::bad_array_new_length& error) {
    return {"bad_array_new_length", error.what()};
  } catch (const std::bad_alloc& error) {
    return {"bad_alloc", error.what()};
  } catch (...) {
    return {"something else", {}};
  }
  return {"nothing", {}};
}

void CheckCaught(const Caught& caught, const char* kind, const char* text, const char* what) {
  const bool matches = std::string(caught.kind) == kind && caught.text == text;
  if (!matches) std::fprintf(stderr, "  caught %s \"%s\"\n", caught.kind, caught.text.c_str());
  Check(matches, what);
  Check(std::uncaught_exceptions() == 0, what);
}

// Each way the library and the compiler report a misuse or a lack of memory.
struct Report {
  const char* name;
  void (*provoke)();
  const char* kind;
  const char* text;
};
const Report kReports[] = {
    {"vector::at past the end", [] { kept = &std::vector<int>(2).at(Opaque(2)); }, "SetupError",
     "Index out of range"},
    {"string::substr past the end", [] { std::string("ab").substr(Opaque(3)); }, "SetupError",
     "Index out of range"},
    {"vector::reserve beyond max_size",
     [] { std::vector<int>().reserve(Opaque(std::vector<int>().max_size() + 1)); }, "SetupError",
     "vector::reserve"},
    {"string::reserve beyond max_size",
     [] { std::string().reserve(Opaque(std::string().max_size() + 1)); }, "SetupError",
     "basic_string::_M_create"},
    {"string from a null pointer", [] { std::string text(Opaque<const char*>(nullptr)); },
     "SetupError", "basic_string: construction from null is not valid"},
    {"stoi of no number", [] { std::stoi(std::string(Opaque("x"))); }, "SetupError", "stoi"},
    {"stoi beyond int", [] { std::stoi(std::string(Opaque("99999999999"))); }, "SetupError",
     "stoi"},
    {"empty std::function", [] { std::function<void()>()(); }, "SetupError", "bad function call"},
    {"allocator beyond max_size",
     [] { kept = std::allocator<int>().allocate(Opaque(SIZE_MAX / 8)); }, "bad_alloc",
     "std::bad_alloc"},
    {"allocator beyond the address space",
     [] { kept = std::allocator<int>().allocate(Opaque(SIZE_MAX / 2)); }, "bad_array_new_length",
     "std::bad_array_new_length"},
    {"operator new of a huge size", [] { kept = ::operator new(Opaque(SIZE_MAX - 64)); },
     "bad_alloc", "std::bad_alloc"},
    {"new[] of a negative count", [] { kept = new int[Opaque(-1)]; }, "bad_array_new_length",
     "std::bad_array_new_length"},
    {"vector grown beyond memory",
     [] { std::vector<char>().reserve(Opaque(std::vector<char>().max_size())); }, "bad_alloc",
     "std::bad_alloc"},
};

void LibraryReports() {
  for (const Report& report : kReports) {
    CheckCaught(CatchFrom(report.provoke), report.kind, report.text, report.name);
  }
}

// A throw inside a handler, caught there, leaves the handler's own exception
// current: `throw;` then rethrows that one, here and from a called function.
[[noreturn]] void RethrowCurrent() {
  throw;
}
void NestedAndRethrown() {
  const Caught outer = CatchFrom([] {
    try {
      platform::Raise("outer");
    } catch (const platform::SetupError&) {
      CheckCaught(CatchFrom([] { platform::Raise("inner"); }), "SetupError", "inner",
                  "nested handler");
      Check(std::uncaught_exceptions() == 0, "count in the outer handler");
      throw;
    }
  });
  CheckCaught(outer, "SetupError", "outer", "rethrown after a nested handler");
  const Caught again = CatchFrom([] {
    try {
      throw std::bad_alloc();
    } catch (const std::bad_alloc&) {
      RethrowCurrent();
    }
  });
  CheckCaught(again, "bad_alloc", "std::bad_alloc", "rethrown from a called function");
}

// The count of exceptions in flight as an object is destroyed while
// unwinding, one exception inside the other.
struct CountOnUnwind {
  int* seen;
  ~CountOnUnwind() { *seen = std::uncaught_exceptions(); }
};
struct ThrowWhileUnwinding {
  int* seen;
  ~ThrowWhileUnwinding() {
    CatchFrom([this] {
      CountOnUnwind count{seen};
      platform::Raise("while unwinding");
    });
  }
};
void InFlightCounts() {
  int outer = -1;
  int inner = -1;
  CatchFrom([&] {
    CountOnUnwind count{&outer};
    ThrowWhileUnwinding nested{&inner};
    platform::Raise("outer");
  });
  Check(outer == 1, "one exception in flight");
  Check(inner == 2, "two exceptions in flight, one inside the other");
  Check(std::uncaught_exceptions() == 0, "none in flight after both");
}

// Two threads, each meeting the other while its exception is in flight and
// again in its handler: each must see only its own.
using platform::UniqueHandle;
struct Meeting {
  UniqueHandle unwinding[2];
  UniqueHandle handling[2];
};
struct Side {
  Meeting* meeting;
  int index;
  bool met = true;
  int inFlight = -1;
  Caught caught{"not run", {}};
  int afterwards = -1;
};

void Meet(Side& side, UniqueHandle (&events)[2]) {
  SetEvent(events[side.index].get());
  side.met &= WaitForSingleObject(events[1 - side.index].get(), 10000) == WAIT_OBJECT_0;
}

DWORD WINAPI ThrowAlongside(void* parameter) {
  Side& side = *static_cast<Side*>(parameter);
  side.caught = CatchFrom([&side] {
    try {
      struct MeetOnUnwind {
        Side& side;
        ~MeetOnUnwind() {
          Meet(side, side.meeting->unwinding);
          side.inFlight = std::uncaught_exceptions();
        }
      } meetOnUnwind{side};
      platform::Raise(side.index == 0 ? "first thread" : "second thread");
    } catch (const platform::SetupError&) {
      Meet(side, side.meeting->handling);
      throw;
    }
  });
  side.afterwards = std::uncaught_exceptions();
  return 0;
}

UniqueHandle StartThread(LPTHREAD_START_ROUTINE routine, void* parameter) {
  return UniqueHandle(CreateThread(nullptr, 0, routine, parameter, 0, nullptr));
}

void TwoThreadsAtOnce() {
  Meeting meeting;
  for (auto* events : {meeting.unwinding, meeting.handling}) {
    for (int i = 0; i < 2; ++i) events[i].reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  }
  Side sides[2] = {{&meeting, 0}, {&meeting, 1}};
  UniqueHandle threads[2] = {StartThread(ThrowAlongside, &sides[0]),
                             StartThread(ThrowAlongside, &sides[1])};
  for (const UniqueHandle& thread : threads) WaitForSingleObject(thread.get(), INFINITE);
  const char* texts[2] = {"first thread", "second thread"};
  for (const Side& side : sides) {
    Check(side.met, "the threads met while unwinding and while handling");
    Check(side.inFlight == 1, "one exception in flight on each thread");
    CheckCaught(side.caught, "SetupError", texts[side.index], "rethrown on its own thread");
    Check(side.afterwards == 0, "none in flight on a thread after its handler");
  }
}

// Memory taken until the heap refuses even the smallest block, and given
// back when this is destroyed.
class HeapExhaustion {
 public:
  HeapExhaustion() {
    for (std::size_t size = std::size_t{256} << 20; size >= sizeof(void*); size /= 2) {
      while (void* block = std::malloc(size)) {
        *static_cast<void**>(block) = taken_;
        taken_ = block;
      }
    }
  }
  HeapExhaustion(const HeapExhaustion&) = delete;
  HeapExhaustion& operator=(const HeapExhaustion&) = delete;
  ~HeapExhaustion() {
    while (taken_) std::free(std::exchange(taken_, *static_cast<void**>(taken_)));
  }

 private:
  void* taken_ = nullptr;
};

// A thread's first exception, thrown when the heap has nothing left: the
// exception and the thread's record must come from the stand-ins' reserves.
DWORD WINAPI ThrowWithoutMemory(void* parameter) {
  HeapExhaustion exhaustion;
  *static_cast<Caught*>(parameter) = CatchFrom([] { kept = ::operator new(Opaque(64)); });
  return 0;
}
DWORD WINAPI ThrowOnce(void*) {
  CatchFrom([] { throw std::bad_alloc(); });
  return 0;
}

void OutOfMemoryOnAFreshThread() {
  // More threads than the record pool holds, each giving its record back.
  for (int i = 0; i < 8; ++i) WaitForSingleObject(StartThread(ThrowOnce, nullptr).get(), INFINITE);
  Caught caught{"not run", {}};
  WaitForSingleObject(StartThread(ThrowWithoutMemory, &caught).get(), INFINITE);
  CheckCaught(caught, "bad_alloc", "std::bad_alloc", "first exception of a thread, memory out");
}

}  // namespace

int main() {
  LibraryReports();
  NestedAndRethrown();
  InFlightCounts();
  TwoThreadsAtOnce();
  OutOfMemoryOnAFreshThread();
  std::fprintf(stderr, "%d failed checks\n", failures);
  return failures == 0 ? 0 : 1;
}
