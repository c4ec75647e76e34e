#include "common/threads.h"

#include "common/fatal.h"

#include <pthread.h>

#include <string>
#include <system_error>
#include <thread>

namespace orvelle {

void spawn_detached(std::string_view name, std::move_only_function<void()> body,
                    std::string_view failure) {
  try {
    std::thread([name = std::string(name), body = std::move(body)]() mutable {
      if (!name.empty()) pthread_setname_np(pthread_self(), name.c_str());
      body();
    }).detach();
  } catch (const std::system_error&) {
    fatal(failure);
  }
}

}  // namespace orvelle
