#pragma once
// A threaded test runs under a deadline: a deadlock ends the test program
// with a message instead of hanging the run.

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

namespace orvelle::clips {

class Deadline {
 public:
  Deadline(std::chrono::milliseconds limit, std::string what)
      : watchdog_([this, limit, what = std::move(what)] {
          std::unique_lock lock(mutex_);
          if (!done_cv_.wait_for(lock, limit, [&] { return done_; })) {
            std::fprintf(stderr, "deadline passed: %s\n", what.c_str());
            std::fflush(stderr);
            std::abort();
          }
        }) {}
  Deadline(const Deadline&) = delete;
  Deadline& operator=(const Deadline&) = delete;
  ~Deadline() {
    {
      std::lock_guard lock(mutex_);
      done_ = true;
    }
    done_cv_.notify_one();
    watchdog_.join();
  }

 private:
  std::mutex mutex_;
  std::condition_variable done_cv_;
  bool done_ = false;
  std::thread watchdog_;  // last: it uses the members above
};

}  // namespace orvelle::clips
