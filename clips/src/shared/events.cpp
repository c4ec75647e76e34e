#include "shared/events.h"

#include "common/console.h"

namespace orvelle::clips {

void emit_event(bool json, Json event) {
  write_line(json ? Stream::out : Stream::err, to_json_text(event));
}

void emit_log(bool json, std::string_view message) {
  if (json) {
    emit_event(true, Json{{"event", "log"}, {"message", message}});
  } else {
    write_line(Stream::err, message);
  }
}

}  // namespace orvelle::clips
