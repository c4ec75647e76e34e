// The process entry of orvelle-clips on Windows.

#include "app/run_clips.h"
#include "audio/sound_devices_win.h"
#include "board/storyboard_win.h"

#include "common/win/arguments.h"
#include "common/win/error.h"
#include "common/win/standard_streams.h"
#include "common/win/thread_name.h"
#include "play/player_win.h"
#include "record/session_win.h"

int main() {
  using namespace orvelle;
  using namespace orvelle::clips;
  win::binary_standard_streams();
  win::install_system_messages();
  win::install_thread_names();
  Modes modes;
  modes.list_microphones = [](const RecorderOptions&) { return list_microphones_win(); };
  modes.run_record_session = run_record_session_win;
  modes.run_player = run_player_win;
  modes.make_storyboard = run_storyboard_win;
  return run_clips(win::utf8_arguments(), modes);
}
