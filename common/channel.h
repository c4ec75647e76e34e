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

namespace orvelle {

enum class SendResult { sent, full, disconnected };
enum class RecvStatus { value, timeout, disconnected };

namespace detail {
template <typename T>
struct ChannelCore {
  std::mutex mutex;
  std::condition_variable ready;
  std::deque<T> queue;
  std::size_t capacity;  // 0: unbounded
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
      if (core_->capacity != 0 && core_->queue.size() >= core_->capacity) return SendResult::full;
      core_->queue.push_back(std::move(value));
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
    out.emplace(std::move(core_->queue.front()));
    core_->queue.pop_front();
    return RecvStatus::value;
  }
  void close() {
    if (!core_) return;
    std::deque<T> dropped;  // released outside the lock
    {
      std::lock_guard lock(core_->mutex);
      core_->receiver_alive = false;
      dropped.swap(core_->queue);
    }
    core_.reset();
  }

  std::shared_ptr<detail::ChannelCore<T>> core_;
};

// capacity 0 makes the channel unbounded.
template <typename T>
std::pair<Sender<T>, Receiver<T>> make_channel(std::size_t capacity = 0) {
  auto core = std::make_shared<detail::ChannelCore<T>>();
  core->capacity = capacity;
  return {Sender<T>(core), Receiver<T>(core)};
}

}  // namespace orvelle
