#pragma once
// Clips made by Debian's ffmpeg at test time and read back with ffprobe, an
// oracle nobody here wrote. Native only.

#include "support/mp4_fixture.h"

#include <string>
#include <vector>

namespace orvelle::clips::fixture {

struct TopBox {
  std::string type;
  std::size_t offset;
  std::uint64_t size;
};
// The file's top-level boxes, walked naively: for files known to be sound.
std::vector<TopBox> top_level_boxes(const Bytes& file);

// Seconds of H.264 picture and sound_tracks AAC tracks at path, every
// sound track enabled (ffmpeg enables only the first by itself) and every
// alternate group 0 (ffmpeg numbers them itself), so marking has work to do.
// faststart puts the moov before the mdat. Empty when ffmpeg failed.
Bytes make_ffmpeg_clip(const std::string& path, int sound_tracks, bool faststart,
                       int seconds = 1, const std::string& picture = "testsrc=size=64x48:rate=10");

// Gives the mdat that follows ffmpeg's 8-byte 'free' box a 64-bit size, in
// the free box's place, so every chunk stays where it was.
void widen_mdat(Bytes& file);

// "video,1", "audio,0"...: each stream's type and whether it is the default.
std::vector<std::string> ffprobe_dispositions(const std::string& path);

}  // namespace orvelle::clips::fixture
