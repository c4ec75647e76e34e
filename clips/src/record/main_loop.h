#pragma once
// The main loop of a recording, on the session's thread: cycles of at most
// 100 ms that take one command and follow the window's minimise and
// restore, and once a second the heavier work: the end of --duration, the
// window's closing, a restart after a resize, the status, the statistics.
// Then the end.

#include "record/commands.h"
#include "record/recording.h"
#include "record/session_ports.h"
#include "shared/options.h"

#include <memory>
#include <string>

namespace orvelle::clips {

struct LoopParts {
  const RecorderOptions& options;
  Recording recording;
  SessionClock& clock;
  WindowSystem& windows;
  WindowHandle window = nullptr;
  std::string title;  // as read at the start
  CaptureRoad road;
  std::unique_ptr<RunningCapture> capture;
  SoundTracks sound;
  SaveLauncher& saves;
  Receiver<Command> commands;
  // With --duration no stdin thread runs: the loop keeps the sender, so no
  // command can arrive and the channel never closes.
  Sender<Command> kept_sender;
  Ticks started{0};  // the instant of --duration and the total line
};

// Returns once the session has ended: the capture closed, a save still
// being written given its time, the total line printed.
void run_main_loop(LoopParts parts);

}  // namespace orvelle::clips
