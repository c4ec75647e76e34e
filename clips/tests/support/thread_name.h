#pragma once
// The calling thread's name as the system shows it, for the tests of named
// threads; the native build reads the POSIX name, the Windows build the
// system's thread description.

#include <string>

namespace orvelle::clips {

// What the program's entry does about thread names at start.
void name_threads_as_the_program_does();
std::string current_thread_name();

}  // namespace orvelle::clips
