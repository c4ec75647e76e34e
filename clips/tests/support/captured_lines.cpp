#include "support/captured_lines.h"

namespace orvelle::clips {

CapturedLines::CapturedLines() {
  set_line_writer([this](Stream s, std::string_view text) {
    std::lock_guard lock(mutex_);
    (s == Stream::out ? out_ : err_) += std::string(text) + "\n";
    all_.push_back((s == Stream::out ? "out: " : "err: ") + std::string(text));
  });
}

CapturedLines::~CapturedLines() { set_line_writer(nullptr); }

std::string CapturedLines::out() const {
  std::lock_guard lock(mutex_);
  return out_;
}

std::string CapturedLines::err() const {
  std::lock_guard lock(mutex_);
  return err_;
}

std::vector<std::string> CapturedLines::all() const {
  std::lock_guard lock(mutex_);
  return all_;
}

void CapturedLines::clear() {
  std::lock_guard lock(mutex_);
  out_.clear();
  err_.clear();
  all_.clear();
}

}  // namespace orvelle::clips
