// What both check programs use to keep the optimiser from folding a failing
// call away: the release flags they are built with would otherwise prove
// some calls pointless and drop them.
#pragma once

// A value the optimiser cannot see through.
template <typename T>
T Opaque(T value) {
  asm volatile("" : "+r"(value));
  return value;
}

// Where a result is kept, so that the call making it stays.
inline void* volatile kept;
