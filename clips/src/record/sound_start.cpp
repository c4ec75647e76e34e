#include "record/sound_start.h"

#include "audio/audio_thread.h"
#include "common/try.h"

namespace orvelle::clips {

Result<SoundTracks> start_recording_sound(const RecorderOptions& options, const Recording& recording,
                                          std::unique_ptr<SoundPlatform> platform) {
  AudioSettings settings{recording.stop_flag, recording.ring, std::nullopt, options.audio, recording.output};
  if (options.mic) settings.mic = make_mic_settings(options, recording.mic_volume, recording.mic_status);
  ORVELLE_ASSIGN_OR_RETURN(const AudioTracks tracks, start_audio(std::move(settings), std::move(platform)));
  return SoundTracks{tracks.mix, tracks.game};
}

}  // namespace orvelle::clips
