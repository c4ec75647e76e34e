#pragma once
// The shared state of one recording, created by the record session and
// handed by reference count to every thread that needs a part of it. A
// capture restart after a resize builds a new capture and keeps all of this.
//
// Locks: the ring's mutex and the microphone status's mutex are each taken
// alone; everything else is atomic.

#include "mp4/clip_job.h"
#include "record/commands.h"
#include "ring/ring.h"
#include "shared/events.h"
#include "shared/microphone_state.h"

#include <memory>

namespace orvelle::clips {

struct Recording {
  SharedOutput output;
  StopFlag stop_flag;      // set at the end; the sound thread ends when it sees it
  SavingFlag saving_flag;  // true while a clip is being written
  std::shared_ptr<Ring> ring;
  SharedMicVolume mic_volume;
  SharedMicStatus mic_status;
};

// The encoders' output types of the two sound tracks, as sound start
// returned them; none without sound.
struct SoundTracks {
  SharedSoundType mix;   // track 0
  SharedSoundType game;  // track 1, only with both game sound and microphone
};

}  // namespace orvelle::clips
