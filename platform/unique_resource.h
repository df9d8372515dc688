// One owner for every kind of system handle. Release order is declaration
// order reversed, so callers never write an explicit cleanup line.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <utility>

namespace platform {

// Traits: what "no resource" is and how one is released.
template <typename T, auto CloseFn>
struct NullIsEmpty {
  using Type = T;
  static Type Empty() noexcept { return Type{}; }
  static void Close(Type value) noexcept { CloseFn(value); }
};

template <auto CloseFn>
struct InvalidHandleIsEmpty {
  using Type = HANDLE;
  static Type Empty() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(Type value) noexcept { CloseFn(value); }
};

template <typename Traits>
class UniqueResource {
 public:
  using Type = typename Traits::Type;

  UniqueResource() noexcept = default;
  explicit UniqueResource(Type value) noexcept : value_(value) {}
  UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;
  ~UniqueResource() { reset(); }

  Type get() const noexcept { return value_; }
  explicit operator bool() const noexcept { return value_ != Traits::Empty(); }

  Type release() noexcept { return std::exchange(value_, Traits::Empty()); }

  // The thread's last error survives the release, so a caller can still
  // report why the call that failed after acquiring this resource failed.
  void reset(Type value = Traits::Empty()) noexcept {
    Type old = std::exchange(value_, value);
    if (old == Traits::Empty()) return;
    const DWORD lastError = GetLastError();
    Traits::Close(old);
    SetLastError(lastError);
  }

  // Releases the current value, then hands out the slot for an API to fill.
  Type* put() noexcept {
    reset();
    return &value_;
  }

 private:
  Type value_ = Traits::Empty();
};

namespace detail {
inline void FreeHeapBlock(void* block) noexcept {
  HeapFree(GetProcessHeap(), 0, block);
}
inline void DeleteGdiObject(HGDIOBJ object) noexcept {
  DeleteObject(object);
}
inline void UnlockAndFreeResource(HGLOBAL resource) noexcept {
  FreeResource(resource);
}
inline void FreeLocalMemory(HLOCAL block) noexcept {
  LocalFree(block);
}
inline void FreeTaskMemory(wchar_t* block) noexcept {
  CoTaskMemFree(block);
}
}  // namespace detail

using UniqueKey = UniqueResource<NullIsEmpty<HKEY, &RegCloseKey>>;
using UniqueFile = UniqueResource<InvalidHandleIsEmpty<&CloseHandle>>;
using UniqueHandle = UniqueResource<NullIsEmpty<HANDLE, &CloseHandle>>;
using UniqueModule = UniqueResource<NullIsEmpty<HMODULE, &FreeLibrary>>;
using UniqueResourceData = UniqueResource<NullIsEmpty<HGLOBAL, &detail::UnlockAndFreeResource>>;
using UniqueHeapBlock = UniqueResource<NullIsEmpty<void*, &detail::FreeHeapBlock>>;
// What the security functions allocate: SID texts, security descriptors.
using UniqueLocalMemory = UniqueResource<NullIsEmpty<HLOCAL, &detail::FreeLocalMemory>>;
// What the shell hands back from COM's task allocator: known-folder paths.
using UniqueTaskText = UniqueResource<NullIsEmpty<wchar_t*, &detail::FreeTaskMemory>>;
using UniqueBitmap = UniqueResource<NullIsEmpty<HBITMAP, &detail::DeleteGdiObject>>;
using UniqueFont = UniqueResource<NullIsEmpty<HFONT, &detail::DeleteGdiObject>>;
using UniqueBrush = UniqueResource<NullIsEmpty<HBRUSH, &detail::DeleteGdiObject>>;
using UniquePen = UniqueResource<NullIsEmpty<HPEN, &detail::DeleteGdiObject>>;
using UniqueMemoryDc = UniqueResource<NullIsEmpty<HDC, &DeleteDC>>;
using UniqueIcon = UniqueResource<NullIsEmpty<HICON, &DestroyIcon>>;
using UniqueFind = UniqueResource<InvalidHandleIsEmpty<&FindClose>>;
using UniqueWindow = UniqueResource<NullIsEmpty<HWND, &DestroyWindow>>;

}  // namespace platform
