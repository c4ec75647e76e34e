#pragma once
// Whole lines on standard output and standard error. Every line is written
// and flushed under its stream's lock, so lines of different threads never
// interleave and each reaches the reader whole; a failed write is ignored.

#include <functional>
#include <string_view>

namespace orvelle {

enum class Stream { out, err };

// Writes text and one line feed.
void write_line(Stream stream, std::string_view text);

// Tests capture the lines instead; an empty function restores the streams.
using LineWriter = std::function<void(Stream, std::string_view)>;
void set_line_writer(LineWriter writer);

}  // namespace orvelle
