#pragma once
// The recorder's "audio" thread: the loopback of the default playback
// device (kept running by a render stream of silence), converted to 16-bit
// stereo, the microphone mixed in, blocks of at least 2,048 values encoded
// to AAC and every packet handed to the ring. It answers its start-up once;
// after that it ends on the stop flag or at the first failing call.
//
// Shared with other threads: the stop flag (read after each idle wait), the
// ring (locked per packet inside push_audio_packet) and, through the mixer,
// the microphone's volume and status. Every platform object is made and
// released on this thread.

#include "audio/aac_encoder.h"
#include "audio/microphone.h"
#include "audio/sound_ports.h"
#include "common/channel.h"
#include "ring/ring.h"
#include "shared/events.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>

namespace orvelle::clips {

inline constexpr std::size_t kMinBlockValues = 2048;  // 1,024 stereo frames
inline constexpr std::size_t kBlockReserve = 8192;
inline constexpr Ticks kIdleWait = std::chrono::milliseconds(10);

// The encoders' output types: track 0 always, track 1 only beside a
// microphone with game sound.
struct AudioTracks {
  SharedSoundType mix;
  SharedSoundType game;
};
using AudioStartReply = Result<AudioTracks>;

struct AudioSettings {
  std::shared_ptr<std::atomic<bool>> stop_flag;
  std::shared_ptr<Ring> ring;
  std::optional<MicSettings> mic;  // only with --mic
  bool game_sound = false;         // --audio: without it every game sample is 0
  SharedOutput output;
};

// Starts the thread and waits for its reply; "audio thread ended" when it
// ends without one. The thread stays detached.
Result<AudioTracks> start_audio(AudioSettings settings, std::unique_ptr<SoundPlatform> platform);

// The thread's body: start-up, the reply, the loop. A failure after the
// reply ends the sound with one log line, "sound stopped: {}".
void run_audio_thread(Sender<AudioStartReply> reply, AudioSettings settings, SoundPlatform& platform);

}  // namespace orvelle::clips
