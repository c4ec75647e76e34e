#pragma once
// Named threads: every thread a program starts carries its name, so a
// debugger or a crash dump shows which one is which. A system that cannot
// name threads keeps them unnamed; a thread that cannot be started is a
// broken invariant and ends the process.

#include "common/fatal.h"

#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>

namespace orvelle {

// Names the calling thread.
void name_this_thread(std::string_view name);

// Runs body on a new thread named name; if the thread cannot be started the
// process ends with failure as its message.
template <typename Body>
std::thread spawn_named_thread(std::string name, std::string_view failure, Body body) {
  try {
    return std::thread([name = std::move(name), body = std::move(body)]() mutable {
      name_this_thread(name);
      body();
    });
  } catch (const std::system_error&) {
    fatal(failure);
  }
}

}  // namespace orvelle
