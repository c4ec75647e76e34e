#pragma once
// The microphone's shared state in a recording: the gain the session sets
// and the mixer reads for every block, and the status text the microphone
// code writes and the session reports.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace orvelle::clips {

// Percent, 100 = unity, at most 200; read and written without a lock.
using SharedMicVolume = std::shared_ptr<std::atomic<std::uint32_t>>;

// "on", "missing", "blocked", "error: ...", or empty while there is no
// microphone. The mutex is held only to replace or copy the text.
class MicStatus {
 public:
  void set(std::string text) {
    std::lock_guard lock(mutex_);
    text_ = std::move(text);
  }
  std::string text() const {
    std::lock_guard lock(mutex_);
    return text_;
  }

 private:
  mutable std::mutex mutex_;
  std::string text_;
};
using SharedMicStatus = std::shared_ptr<MicStatus>;

}  // namespace orvelle::clips
