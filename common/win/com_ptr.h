#pragma once
// One owning pointer for every COM and WinRT interface: Release happens here
// and nowhere else in program code.

#include <unknwn.h>

#include <type_traits>
#include <utility>

namespace orvelle::win {

template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(std::nullptr_t) {}
  // Takes over a reference the caller already owns.
  static ComPtr attach(T* raw) {
    ComPtr p;
    p.ptr_ = raw;
    return p;
  }
  // Adds a reference of its own.
  static ComPtr share(T* raw) {
    if (raw) raw->AddRef();
    return attach(raw);
  }
  ComPtr(const ComPtr& o) : ptr_(o.ptr_) {
    if (ptr_) ptr_->AddRef();
  }
  ComPtr(ComPtr&& o) noexcept : ptr_(std::exchange(o.ptr_, nullptr)) {}
  // An object's pointer as one of the interfaces it derives from.
  template <typename U>
    requires std::is_convertible_v<U*, T*>
  ComPtr(const ComPtr<U>& o) : ptr_(o.get()) {
    if (ptr_) ptr_->AddRef();
  }
  template <typename U>
    requires std::is_convertible_v<U*, T*>
  ComPtr(ComPtr<U>&& o) noexcept : ptr_(o.detach()) {}
  ComPtr& operator=(ComPtr o) noexcept {
    std::swap(ptr_, o.ptr_);
    return *this;
  }
  ~ComPtr() { reset(); }

  void reset() {
    if (T* p = std::exchange(ptr_, nullptr)) p->Release();
  }
  [[nodiscard]] T* detach() { return std::exchange(ptr_, nullptr); }
  T* get() const { return ptr_; }
  T* operator->() const { return ptr_; }
  explicit operator bool() const { return ptr_ != nullptr; }

  // For out-parameters: releases what is held and hands the slot out.
  T** put() {
    reset();
    return &ptr_;
  }
  void** put_void() { return reinterpret_cast<void**>(put()); }

  template <typename U>
  HRESULT as(ComPtr<U>& out) const {
    if (!ptr_) return E_POINTER;
    return ptr_->QueryInterface(__uuidof(U), out.put_void());
  }
  HRESULT as(REFIID iid, void** out) const {
    if (!ptr_) return E_POINTER;
    return ptr_->QueryInterface(iid, out);
  }

 private:
  T* ptr_ = nullptr;
};

}  // namespace orvelle::win
