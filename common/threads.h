#pragma once
// Detached threads with names. A thread that cannot be started is a broken
// invariant: the process ends at once with the caller's message and the
// system's error ("video thread: Resource temporarily unavailable").

#include <functional>
#include <string_view>

namespace orvelle {

// name empty: the thread stays unnamed.
void spawn_detached(std::string_view name, std::move_only_function<void()> body,
                    std::string_view failure);

// Names the calling thread. The portable one names POSIX threads; the
// Windows programs install the system's own at start (common/win/thread_name.h).
using ThreadNamer = void (*)(const char* name);
void set_thread_namer(ThreadNamer namer);

}  // namespace orvelle
