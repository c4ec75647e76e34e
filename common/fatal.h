#pragma once
// A broken internal invariant (a call that succeeded without its object, a
// poisoned lock, an impossible state) ends the process at once with a
// message on standard error: no unwinding, no recovery.

#include <string_view>

namespace orvelle {

[[noreturn]] void fatal(std::string_view message);

}  // namespace orvelle
