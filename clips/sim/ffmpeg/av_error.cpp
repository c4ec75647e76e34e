#include "sim/ffmpeg/av_error.h"

#include "sim/system_error.h"

#include <mutex>

extern "C" {
#include <libavutil/error.h>
#include <libavutil/log.h>
}

namespace orvelle::clips::sim {

WinError av_error(int code) {
  // FFmpeg passes the system's errors on as negated errno values; its own
  // codes are tags far outside that range.
  if (code < 0 && code > -4096) return system_error(-code);
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return fail(text);
}

}  // namespace orvelle::clips::sim

namespace orvelle::clips::sim {

void silence_ffmpeg() {
  static std::once_flag once;
  std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}

}  // namespace orvelle::clips::sim
