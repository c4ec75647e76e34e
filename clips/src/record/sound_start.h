#pragma once
// The record session's sound start over the audio wing: the "audio" thread
// with the recording's stop flag, ring and microphone state, on whichever
// platform of sound the caller gives it.

#include "audio/sound_ports.h"
#include "record/recording.h"
#include "shared/options.h"

#include <memory>

namespace orvelle::clips {

// The microphone only with --mic; the game's sound only with --audio.
Result<SoundTracks> start_recording_sound(const RecorderOptions& options, const Recording& recording,
                                          std::unique_ptr<SoundPlatform> platform);

}  // namespace orvelle::clips
