#pragma once
// Threaded tests run their body under a deadline: a body still running when
// it passes fails the test run at once instead of hanging it.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <future>
#include <thread>

namespace orvelle::clips::sim {

inline void within(std::chrono::seconds limit, const std::function<void()>& body) {
  std::packaged_task<void()> task(body);
  auto done = task.get_future();
  std::thread runner(std::move(task));
  if (done.wait_for(limit) == std::future_status::timeout) {
    std::fprintf(stderr, "the test did not end within %lld s\n", static_cast<long long>(limit.count()));
    std::_Exit(1);
  }
  runner.join();
  done.get();
}

}  // namespace orvelle::clips::sim
