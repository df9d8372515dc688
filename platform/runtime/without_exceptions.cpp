// The C++ runtime's error paths in the uninstaller, which is built without
// exceptions. The runtime's own versions throw, and would bring back the
// exception runtime the build leaves out (about 24 KB with its tables). A
// container misused or memory run out ends the uninstaller at once, as an
// exception nothing caught would, with the exit code of a failed removal and
// without a message box, which an unattended removal must never show.
#include "uninstaller/unattended_removal.h"

#include <cstdlib>
#include <new>

namespace {
[[noreturn]] void End() {
  std::_Exit(uninstaller::kRemovalFailed);
}
}  // namespace

namespace std {
void __throw_bad_alloc() {
  End();
}
void __throw_bad_array_new_length() {
  End();
}
void __throw_length_error(const char*) {
  End();
}
void __throw_logic_error(const char*) {
  End();
}
void __throw_out_of_range(const char*) {
  End();
}
void __throw_out_of_range_fmt(const char*, ...) {
  End();
}
void __throw_invalid_argument(const char*) {
  End();
}
void __throw_bad_function_call() {
  End();
}
}  // namespace std

// The runtime's operator new throws std::bad_alloc when memory runs out, and
// its forms that must not throw (sorting asks for a buffer with one) catch it.
void* operator new(std::size_t size) {
  if (void* block = std::malloc(size != 0 ? size : 1)) return block;
  End();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return std::malloc(size != 0 ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return std::malloc(size != 0 ? size : 1);
}
void operator delete(void* block) noexcept {
  std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
  std::free(block);
}
