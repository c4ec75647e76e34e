#pragma once
// One owner for every kernel handle (processes, threads, pipes, events):
// CloseHandle happens here and nowhere else in program code.

#include <windows.h>

#include <utility>

namespace orvelle::win {

class Handle {
 public:
  Handle() = default;
  // Takes over a handle the caller owns. INVALID_HANDLE_VALUE, which some
  // calls return on failure, counts as none.
  explicit Handle(HANDLE h) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
  Handle(Handle&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
  Handle& operator=(Handle o) noexcept {
    std::swap(h_, o.h_);
    return *this;
  }
  ~Handle() { reset(); }

  void reset() {
    if (HANDLE h = std::exchange(h_, nullptr)) CloseHandle(h);
  }
  HANDLE release() { return std::exchange(h_, nullptr); }
  HANDLE get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }
  // For out-parameters: closes what is held and hands the slot out.
  HANDLE* put() {
    reset();
    return &h_;
  }

 private:
  HANDLE h_ = nullptr;
};

}  // namespace orvelle::win
