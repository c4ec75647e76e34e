#include "bridge/run.h"

#include "bridge/commands.h"
#include "bridge/output.h"
#include "bridge/refresh.h"
#include "common/try.h"

#include <algorithm>

namespace orvelle::media {
namespace {

using namespace std::chrono_literals;

constexpr auto kTick = 2s;
// The events of one change arrive together within this.
constexpr auto kGather = 60ms;

Instant next_deadline(const RunState& state, Instant tick) {
  if (state.pending_refreshes.empty()) return tick;
  return std::min(tick, *std::min_element(state.pending_refreshes.begin(),
                                          state.pending_refreshes.end()));
}

// A time-out: forced when a scheduled refresh is due (those are used up).
void timed_refresh(RunState& state) {
  Instant now = state.clock.now();
  auto due = [&](Instant t) { return t <= now; };
  bool force = std::any_of(state.pending_refreshes.begin(), state.pending_refreshes.end(), due);
  std::erase_if(state.pending_refreshes, due);
  refresh_and_publish(state, force);
}

struct Burst {
  bool force = false, sessions_changed = false, ended = false;
};

void handle(RunState& state, Burst& burst, LoopMessage& message) {
  if (auto* line = std::get_if<Line>(&message))
    handle_command(state, line->text);
  else if (auto* refresh = std::get_if<Refresh>(&message))
    burst.force = burst.force || refresh->force;
  else if (std::holds_alternative<SessionsChanged>(message))
    burst.sessions_changed = true;
  else
    burst.ended = true;
}

}  // namespace

Status run(const MediaConfig& config, MediaPlatform& platform, LoopClock& clock,
           LoopSender sender, LoopReceiver& receiver) {
  ORVELLE_ASSIGN_OR_RETURN(std::shared_ptr<SessionManager> manager, platform.open_manager());
  LoopSender current = sender, changed = sender;
  ORVELLE_TRY(manager->on_current_session_changed(
      [current]() mutable { (void)current.send(Refresh{true}); }));
  ORVELLE_TRY(manager->on_sessions_changed(
      [changed]() mutable { (void)changed.send(SessionsChanged{}); }));
  RunState state(config, std::move(manager), std::move(sender), platform, clock);
  emit_line(Json{{"type", "ready"}});
  subscribe_sessions(state);
  refresh_and_publish(state, true);
  Instant tick = clock.now() + kTick;
  for (;;) {
    std::optional<LoopMessage> message;
    RecvStatus got = clock.receive_until(receiver, message, next_deadline(state, tick));
    if (got == RecvStatus::disconnected) return {};
    if (got == RecvStatus::timeout) {
      timed_refresh(state);
      tick = clock.now() + kTick;
      continue;
    }
    Burst burst;
    // A command alone is answered at once; an event waits for its fellows.
    if (!std::holds_alternative<Line>(*message)) clock.sleep_for(kGather);
    do {
      handle(state, burst, *message);
      if (burst.ended) return {};
      message.reset();
    } while (receiver.try_receive(message) == RecvStatus::value);
    if (burst.sessions_changed) subscribe_sessions(state);
    refresh_and_publish(state, burst.force || burst.sessions_changed);
    tick = clock.now() + kTick;
  }
}

}  // namespace orvelle::media
