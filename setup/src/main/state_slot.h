#pragma once
// One slot per thread for the running window's state: the entry fills it
// before the message loop and empties it after; handlers borrow it while they
// run, and find nothing while it is empty (during the page's set-up, whose
// waits pump messages, and after the loop) or already borrowed: a handler's
// call into the platform (the move loop of a drag, a minimise) sends
// messages back into the window procedure, which must then go on without
// the state rather than end the process.

#include "common/fatal.h"

#include <optional>
#include <utility>

namespace orvelle::setup {

template <typename T>
class StateSlot {
 public:
  class Borrow {
   public:
    explicit Borrow(StateSlot* slot) : slot_(slot) {}
    Borrow(const Borrow&) = delete;
    Borrow& operator=(const Borrow&) = delete;
    ~Borrow() {
      if (slot_) slot_->borrowed_ = false;
    }
    explicit operator bool() const { return slot_ != nullptr; }
    T* operator->() const { return &*slot_->value_; }
    T& operator*() const { return *slot_->value_; }

   private:
    StateSlot* slot_;
  };

  // An empty borrow when the slot holds no state or it is out already.
  Borrow borrow() {
    if (!value_ || borrowed_) return Borrow(nullptr);
    borrowed_ = true;
    return Borrow(this);
  }
  void put(T value) {
    if (borrowed_) fatal("the setup state is replaced while borrowed");
    value_.emplace(std::move(value));
  }
  std::optional<T> take() {
    if (borrowed_) fatal("the setup state is taken while borrowed");
    return std::exchange(value_, std::nullopt);
  }

 private:
  std::optional<T> value_;
  bool borrowed_ = false;
};

}  // namespace orvelle::setup
