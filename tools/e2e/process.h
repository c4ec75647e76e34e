#pragma once
// Runs a program to its end with a given standard input, keeping standard
// output and standard error apart: the end-to-end tests' view of the
// Windows programs under Wine.

#include <sys/types.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
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

// A program kept running beside the test (a window for the program under
// test to find): its standard output is read line by line, and it is ended
// with its process group when the object goes.
class Background {
 public:
  explicit Background(const std::vector<std::string>& argv);
  ~Background();
  Background(const Background&) = delete;
  Background& operator=(const Background&) = delete;

  bool started() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }
  // Every line it printed until one equal to line, which ends the list;
  // fewer when it ends or the deadline passes first.
  std::vector<std::string> lines_until(std::string_view line, std::chrono::seconds deadline);
  // The next line it prints; nothing when it ends or the deadline passes first.
  std::optional<std::string> next_line(std::chrono::milliseconds deadline);
  // One line (its end added) to its standard input; false when it is gone.
  bool send(std::string_view line);
  // The end of its standard input.
  void close_input();
  // The end of the pipe it writes to: its later lines go nowhere.
  void close_output();
  // Its exit code once it has ended; -1 when it is still running at the
  // deadline (it is then killed) or was killed.
  int wait(std::chrono::seconds deadline);

 private:
  pid_t pid_ = -1;
  int in_ = -1, out_ = -1;
  std::string pending_;
};

// The Windows program under Wine, in the background.
std::unique_ptr<Background> start_windows(const std::string& exe,
                                          const std::vector<std::string>& args);

}  // namespace orvelle::e2e
