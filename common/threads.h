#pragma once
// Detached threads with names. A thread that cannot be started is a broken
// invariant: the process ends at once with the caller's message.

#include <functional>
#include <string_view>

namespace orvelle {

// name empty: the thread stays unnamed.
void spawn_detached(std::string_view name, std::move_only_function<void()> body,
                    std::string_view failure);

}  // namespace orvelle
