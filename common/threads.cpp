#include "common/threads.h"

#include "common/fatal.h"

#include <fmt/format.h>
#include <pthread.h>

#include <atomic>
#include <string>
#include <system_error>
#include <thread>

namespace orvelle {
namespace {

void posix_name(const char* name) { pthread_setname_np(pthread_self(), name); }

std::atomic<ThreadNamer> namer{posix_name};

}  // namespace

void set_thread_namer(ThreadNamer n) { namer.store(n ? n : posix_name); }

void spawn_detached(std::string_view name, std::move_only_function<void()> body,
                    std::string_view failure) {
  try {
    std::thread([name = std::string(name), body = std::move(body)]() mutable {
      if (!name.empty()) namer.load()(name.c_str());
      body();
    }).detach();
  } catch (const std::system_error& e) {
    fatal(fmt::format("{}: {}", failure, e.code().message()));
  }
}

}  // namespace orvelle
