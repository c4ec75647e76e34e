#pragma once
// The recorder's event lines: with --json on standard output, where the
// client reads them; without it the same text on standard error, beside the
// plain log lines.

#include "common/json_write.h"

#include <memory>
#include <string_view>

namespace orvelle::clips {

// Shared by every thread of a recording that prints.
struct OutputSettings {
  bool json = false;
};
using SharedOutput = std::shared_ptr<const OutputSettings>;

void emit_event(bool json, Json event);
// A log message: a "log" event with --json, a plain line on standard error
// without it.
void emit_log(bool json, std::string_view message);

}  // namespace orvelle::clips
