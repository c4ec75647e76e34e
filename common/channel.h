#pragma once
// Channels carry values between threads. The receiving side learns when every
// sender is gone; a sender learns when the receiver is gone. No exception
// crosses them: every result is a value.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace orvelle {

enum class SendResult { sent, full, disconnected };
enum class RecvStatus { value, timeout, disconnected };

namespace detail {

// A bounded channel keeps its values in a fixed ring, so that a send and a
// receive allocate nothing (the frame channel carries every captured frame);
// an unbounded one in a deque.
template <typename T>
class ChannelQueue {
 public:
  explicit ChannelQueue(std::size_t capacity) : capacity_(capacity), ring_(capacity) {}

  bool empty() const { return capacity_ == 0 ? unbounded_.empty() : count_ == 0; }
  bool full() const { return capacity_ != 0 && count_ == capacity_; }
  void push(T value) {
    if (capacity_ == 0) {
      unbounded_.push_back(std::move(value));
      return;
    }
    ring_[(head_ + count_) % capacity_].emplace(std::move(value));
    ++count_;
  }
  T pop() {
    if (capacity_ == 0) {
      T value = std::move(unbounded_.front());
      unbounded_.pop_front();
      return value;
    }
    std::optional<T>& slot = ring_[head_];
    T value = std::move(*slot);
    slot.reset();
    head_ = (head_ + 1) % capacity_;
    --count_;
    return value;
  }
  // Everything still queued, to be let go once the lock is released.
  std::vector<T> take_all() {
    std::vector<T> out;
    while (!empty()) out.push_back(pop());
    return out;
  }

 private:
  std::size_t capacity_;  // 0: unbounded
  std::vector<std::optional<T>> ring_;
  std::size_t head_ = 0, count_ = 0;
  std::deque<T> unbounded_;
};

template <typename T>
struct ChannelCore {
  explicit ChannelCore(std::size_t capacity) : queue(capacity) {}
  std::mutex mutex;
  std::condition_variable ready;
  ChannelQueue<T> queue;
  std::size_t senders = 1;
  bool receiver_alive = true;
};
}  // namespace detail

template <typename T>
class Sender {
 public:
  Sender() = default;
  explicit Sender(std::shared_ptr<detail::ChannelCore<T>> core) : core_(std::move(core)) {}
  Sender(const Sender& o) : core_(o.core_) {
    if (core_) {
      std::lock_guard lock(core_->mutex);
      ++core_->senders;
    }
  }
  Sender(Sender&& o) noexcept = default;
  Sender& operator=(Sender o) noexcept {
    std::swap(core_, o.core_);
    return *this;
  }
  ~Sender() { reset(); }

  // Never blocks: a bounded channel that is full refuses the value.
  SendResult send(T value) {
    if (!core_) return SendResult::disconnected;
    {
      std::lock_guard lock(core_->mutex);
      if (!core_->receiver_alive) return SendResult::disconnected;
      if (core_->queue.full()) return SendResult::full;
      core_->queue.push(std::move(value));
    }
    core_->ready.notify_one();
    return SendResult::sent;
  }

  void reset() {
    if (!core_) return;
    bool last;
    {
      std::lock_guard lock(core_->mutex);
      last = --core_->senders == 0;
    }
    if (last) core_->ready.notify_all();
    core_.reset();
  }

 private:
  std::shared_ptr<detail::ChannelCore<T>> core_;
};

template <typename T>
class Receiver {
 public:
  Receiver() = default;
  explicit Receiver(std::shared_ptr<detail::ChannelCore<T>> core) : core_(std::move(core)) {}
  Receiver(Receiver&&) noexcept = default;
  Receiver& operator=(Receiver&& o) noexcept {
    close();
    core_ = std::move(o.core_);
    return *this;
  }
  ~Receiver() { close(); }

  // Waits until a value arrives, every sender is gone, or the deadline passes.
  // Queued values are still delivered after the senders have gone.
  template <typename Clock, typename Duration>
  RecvStatus receive_until(std::optional<T>& out,
                           std::chrono::time_point<Clock, Duration> deadline) {
    std::unique_lock lock(core_->mutex);
    if (!core_->ready.wait_until(lock, deadline,
                                 [&] { return !core_->queue.empty() || core_->senders == 0; }))
      return RecvStatus::timeout;
    return take(out);
  }
  template <typename Rep, typename Period>
  RecvStatus receive_for(std::optional<T>& out, std::chrono::duration<Rep, Period> wait) {
    return receive_until(out, std::chrono::steady_clock::now() + wait);
  }
  RecvStatus receive(std::optional<T>& out) {
    std::unique_lock lock(core_->mutex);
    core_->ready.wait(lock, [&] { return !core_->queue.empty() || core_->senders == 0; });
    return take(out);
  }
  RecvStatus try_receive(std::optional<T>& out) {
    std::lock_guard lock(core_->mutex);
    if (core_->queue.empty() && core_->senders != 0) return RecvStatus::timeout;
    return take(out);
  }

 private:
  RecvStatus take(std::optional<T>& out) {
    if (core_->queue.empty()) return RecvStatus::disconnected;
    out.emplace(core_->queue.pop());
    return RecvStatus::value;
  }
  void close() {
    if (!core_) return;
    std::vector<T> dropped;  // released outside the lock
    {
      std::lock_guard lock(core_->mutex);
      core_->receiver_alive = false;
      dropped = core_->queue.take_all();
    }
    core_.reset();
  }

  std::shared_ptr<detail::ChannelCore<T>> core_;
};

// capacity 0 makes the channel unbounded.
template <typename T>
std::pair<Sender<T>, Receiver<T>> make_channel(std::size_t capacity = 0) {
  auto core = std::make_shared<detail::ChannelCore<T>>(capacity);
  return {Sender<T>(core), Receiver<T>(core)};
}

}  // namespace orvelle
