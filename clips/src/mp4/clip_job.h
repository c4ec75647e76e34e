#pragma once
// One save: everything the writer needs for one clip, built by the record
// session from a snapshot of the ring and moved into the writer's thread.

#include "ring/ring.h"
#include "shared/events.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orvelle::clips {

// The AAC encoder's output type of one sound track, as the platform knows
// it. The writer never looks inside: it hands the type to the platform's
// muxer, which declares the track with it.
class SoundTrackType {
 public:
  virtual ~SoundTrackType() = default;
};
using SharedSoundType = std::shared_ptr<const SoundTrackType>;

// True while a clip is being written: raised by the main loop when it accepts
// a save, cleared by the writer as its very last act.
using SavingFlag = std::shared_ptr<std::atomic<bool>>;

struct SaveJob {
  std::string path;  // the file the writer creates
  std::vector<std::uint8_t> sequence_header;
  std::uint32_t width = 0, height = 0;  // of the capture that recorded the groups
  std::uint32_t fps = 60;
  std::uint32_t bitrate = 0;  // bit/s
  // Shared with the ring: the snapshot holds references, not bytes.
  std::vector<std::shared_ptr<const Gop>> groups;
  std::vector<SavedGap> gaps;
  std::string id;
  std::optional<std::string> finish;  // the name the clip is moved to
  std::int64_t start_wall_ms = 0;     // milliseconds since 1970 of the first picture
  SharedOutput output;
  SavingFlag saving_flag;
  SharedSoundType mix_sound;   // track 0: the game sound with the microphone mixed in
  SharedSoundType game_sound;  // track 1: the game sound alone
};

}  // namespace orvelle::clips
