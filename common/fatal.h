#pragma once
// A broken internal invariant (a poisoned lock, an impossible state, a failed
// thread start) ends the process at once with a message on standard error:
// no unwinding, no recovery. A call that succeeded without its object is not
// one of them, but for the few places named beside win::no_object().

#include <string_view>

namespace orvelle {

[[noreturn]] void fatal(std::string_view message);

}  // namespace orvelle
