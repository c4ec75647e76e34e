#include "common/console.h"

#include <cstdio>
#include <mutex>
#include <string>

namespace orvelle {
namespace {

std::mutex out_mutex, err_mutex;
LineWriter redirect;  // guarded by both stream locks

}  // namespace

void set_line_writer(LineWriter writer) {
  std::scoped_lock lock(out_mutex, err_mutex);
  redirect = std::move(writer);
}

void write_line(Stream stream, std::string_view text) {
  std::lock_guard lock(stream == Stream::out ? out_mutex : err_mutex);
  if (redirect) {
    redirect(stream, text);
    return;
  }
  std::FILE* file = stream == Stream::out ? stdout : stderr;
  // One write per line: the text and its line end go out together.
  std::string line;
  line.reserve(text.size() + 1);
  line.append(text);
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), file);
  std::fflush(file);
}

}  // namespace orvelle
