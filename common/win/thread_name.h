#pragma once
// Thread names as the system shows them in its tools (Windows only).

namespace orvelle::win {

// Makes spawn_detached name its threads with SetThreadDescription, where the
// system has it; called once at the start of each program.
void install_thread_names();

}  // namespace orvelle::win
