#pragma once
// The clip writer: one save's snapshot becomes an MP4 file without encoding
// anything again. H.264 picture first, then the mix and the game sound when
// the snapshot holds their packets from the first picture on; times start at
// 0 at the clip's first picture. Then the game-sound track is marked, the
// file is moved to its final name, and a "save" or "saveFailed" event tells
// the client what the file holds.

#include "common/media_time.h"
#include "mp4/clip_files.h"
#include "mp4/clip_job.h"
#include "mp4/muxer.h"

#include <memory>
#include <string_view>

namespace orvelle::clips {

// What the writer asks of the platform.
class ClipPlatform {
 public:
  virtual ~ClipPlatform() = default;
  // A muxer writing a new file at path (an existing one is replaced).
  virtual Result<std::unique_ptr<Muxer>> open_muxer(std::string_view path) = 0;
  virtual ClipFiles& files() = 0;
  virtual void sleep_for(Ticks wait) = 0;
};

// The body of one "writer" thread. Prints the clip's event and clears the
// job's saving flag as its last act, whatever happened.
void write_clip(SaveJob job, ClipPlatform& platform);

}  // namespace orvelle::clips
