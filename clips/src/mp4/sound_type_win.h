#pragma once
// A sound track's type on Windows: the AAC encoder's current output type,
// which the sink writer declares the track with as it stands (Windows only).

#include "common/win/com_ptr.h"
#include "mp4/clip_job.h"

#include <mfobjects.h>

namespace orvelle::clips {

struct MediaFoundationSound final : SoundTrackType {
  explicit MediaFoundationSound(win::ComPtr<IMFMediaType> t) : type(std::move(t)) {}
  win::ComPtr<IMFMediaType> type;
};

}  // namespace orvelle::clips
