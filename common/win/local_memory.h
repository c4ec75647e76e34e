#pragma once
// Owns memory the system allocated with LocalAlloc for the caller
// (FormatMessageW's buffer, CommandLineToArgvW's array).

#include <windows.h>

#include <utility>

namespace orvelle::win {

template <typename T>
class LocalMemory {
 public:
  LocalMemory() = default;
  explicit LocalMemory(T* p) : p_(p) {}
  LocalMemory(LocalMemory&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  LocalMemory& operator=(LocalMemory o) noexcept {
    std::swap(p_, o.p_);
    return *this;
  }
  ~LocalMemory() {
    if (p_) LocalFree(p_);
  }
  T* get() const { return p_; }

 private:
  T* p_ = nullptr;
};

}  // namespace orvelle::win
