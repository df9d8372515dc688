// COM ownership: an apartment guard and a smart interface pointer. Declare the
// guard first so that every interface is released before the apartment goes.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <utility>

namespace platform {

class ComApartment {
 public:
  ComApartment() noexcept : initialised_(SUCCEEDED(CoInitialize(nullptr))) {}
  ~ComApartment() {
    if (initialised_) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  bool initialised() const noexcept { return initialised_; }

 private:
  bool initialised_;
};

template <typename T>
class ComPtr {
 public:
  ComPtr() noexcept = default;
  ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) reset(std::exchange(other.ptr_, nullptr));
    return *this;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() { reset(); }

  T* get() const noexcept { return ptr_; }
  T* operator->() const noexcept { return ptr_; }
  explicit operator bool() const noexcept { return ptr_ != nullptr; }

  void reset(T* value = nullptr) noexcept {
    if (T* old = std::exchange(ptr_, value)) old->Release();
  }
  T** put() noexcept {
    reset();
    return &ptr_;
  }
  void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

 private:
  T* ptr_ = nullptr;
};

}  // namespace platform
