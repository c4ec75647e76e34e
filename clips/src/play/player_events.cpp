#include "play/player_events.h"

#include "common/console.h"
#include "play/frames_layout.h"

namespace orvelle::clips {

void print_json_line(const Json& value) { write_line(Stream::out, to_json_text(value)); }

Json ready_event(const ReadyFacts& facts) {
  return Json{{"event", "ready"},
              {"w", facts.width},
              {"h", facts.height},
              {"duration", facts.duration},
              {"map", facts.map},
              {"slots", kFrameSlots},
              {"slotBytes", std::uint64_t{facts.width} * facts.height * 4}};
}

Json state_event(bool playing) { return Json{{"event", "state"}, {"playing", playing}}; }

Json ended_event(std::uint32_t generation) { return Json{{"event", "ended"}, {"gen", generation}}; }

Json audio_event(std::string_view state) { return Json{{"event", "audio"}, {"state", state}}; }

Json error_event(std::string_view message) { return Json{{"event", "error"}, {"message", message}}; }

}  // namespace orvelle::clips
