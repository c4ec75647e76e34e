#include "common/line_reader.h"

namespace orvelle {

ReadStatus LineReader::read(std::string& line) {
  line.clear();
  for (;;) {
    int c = std::getc(file_);
    if (c == EOF) {
      if (std::ferror(file_)) return ReadStatus::failed;
      return line.empty() ? ReadStatus::end : ReadStatus::line;
    }
    line += static_cast<char>(c);
    if (c == '\n') return ReadStatus::line;
  }
}

}  // namespace orvelle
