#pragma once
// The lines the program prints, caught for a test instead of reaching the
// streams: standard output and standard error apart, and both in the order
// they were printed. Threads may print at once.

#include "common/console.h"

#include <mutex>
#include <string>
#include <vector>

namespace orvelle::clips {

class CapturedLines {
 public:
  CapturedLines();
  ~CapturedLines();
  CapturedLines(const CapturedLines&) = delete;
  CapturedLines& operator=(const CapturedLines&) = delete;

  // Each with its line end.
  std::string out() const;
  std::string err() const;
  // Every line without its end, "out: " or "err: " before it.
  std::vector<std::string> all() const;
  void clear();

 private:
  mutable std::mutex mutex_;
  std::string out_, err_;
  std::vector<std::string> all_;
};

}  // namespace orvelle::clips
