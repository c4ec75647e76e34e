#pragma once
// Marks the game-sound track of a finished clip: the sound tracks become one
// alternate group in which only the first, the mix, is enabled, so players
// play the mix and keep the game sound alone as an alternative. Only bytes
// of the track headers inside the moov box change; the media data is never
// read or written.

#include "mp4/random_access_file.h"
#include "common/win_error.h"

#include <cstdint>
#include <string_view>

namespace orvelle::clips {

// A file that is not a well-formed MP4 (no reachable moov, a box size that
// does not fit, a track header too short) fails with "no moov" and is left
// unchanged.
Status mark_alternate_sound_tracks(RandomAccessFile& file);

}  // namespace orvelle::clips
