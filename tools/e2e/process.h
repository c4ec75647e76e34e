#pragma once
// Runs a program to its end with a given standard input, keeping standard
// output and standard error apart: the end-to-end tests' view of the
// Windows programs under Wine.

#include <chrono>
#include <string>
#include <vector>

namespace orvelle::e2e {

struct Outcome {
  int exit_code = -1;  // -1: killed at the deadline or not started
  std::string out, err;
};

Outcome run_process(const std::vector<std::string>& argv, const std::string& input,
                    std::chrono::seconds deadline = std::chrono::seconds(60));

// The Windows program under Wine, through the project's runner.
Outcome run_windows(const std::string& exe, const std::vector<std::string>& args,
                    const std::string& input = "",
                    std::chrono::seconds deadline = std::chrono::seconds(60));

}  // namespace orvelle::e2e
