#include "app/unbuilt_modes.h"

#include "common/console.h"
#include "common/json_write.h"
#include "common/win_error.h"

#include <string>

namespace orvelle::clips {
namespace {

std::string not_available(std::string_view what) {
  return fail(std::string(what) + " is not available yet", hresult::kNotImplemented).text();
}

int missing_result_mode(std::string_view what) {
  write_line(Stream::out, to_json_text(Json{{"error", not_available(what)}}));
  return 1;
}

}  // namespace

void add_unbuilt_modes(Modes& modes) {
  modes.list_microphones = [](const RecorderOptions&) {
    return missing_result_mode("the microphone list");
  };
}

}  // namespace orvelle::clips
