#pragma once
// What the main loop does with "save", "seconds" and "micvolume". A save
// never blocks the loop: it takes a snapshot of the ring under its lock and
// hands it to a writer thread; one clip is written at a time, and a save
// while another runs is refused, not queued.

#include "record/commands.h"
#include "record/recording.h"
#include "record/session_ports.h"

#include <cstdint>

namespace orvelle::clips {

// What a save takes from the session besides the ring.
struct SaveSource {
  const Recording& recording;
  const SoundTracks& sound;
  const RunningCapture& capture;  // the size and bitrate the groups were recorded with
  std::uint32_t fps;
  SaveLauncher& launcher;
};

void request_save(SaveCommand command, const SaveSource& source);
// Limited to 5..600 seconds; takes effect with the next picture.
void set_seconds(const Recording& recording, std::uint32_t seconds);
// Limited to 200 percent.
void set_mic_volume(const Recording& recording, std::uint32_t volume);

}  // namespace orvelle::clips
