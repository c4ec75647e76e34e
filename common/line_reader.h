#pragma once
// Reads a stream line by line, each line with its "\n" (the last line of the
// input may lack one). Returns as soon as a line is complete, so a command
// is handled the moment the client writes it.

#include <cstdio>
#include <string>

namespace orvelle {

enum class ReadStatus { line, end, failed };

class LineReader {
 public:
  explicit LineReader(std::FILE* file) : file_(file) {}
  ReadStatus read(std::string& line);

 private:
  std::FILE* file_;
};

}  // namespace orvelle
