#pragma once
// What the run loop's channel carries: command lines from the stdin reader
// and wake-ups from the media-session event handlers.

#include "common/channel.h"

#include <string>
#include <variant>

namespace orvelle::media {

struct Line {
  std::string text;  // trimmed, not empty
};
struct Refresh {
  bool force = false;
};
struct SessionsChanged {};
struct EndOfInput {};

using LoopMessage = std::variant<Line, Refresh, SessionsChanged, EndOfInput>;
using LoopSender = Sender<LoopMessage>;
using LoopReceiver = Receiver<LoopMessage>;

}  // namespace orvelle::media
