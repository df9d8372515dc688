// The C++ runtime's error paths in Setup.exe: the end of an uncaught
// exception and the standard library's reports of a misused container.
#include "platform/error.h"

#include <cstdlib>
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
