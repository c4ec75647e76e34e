#pragma once
// Source readers on a clip with one stream selected: the first video
// stream decoded to RGB32 by the reader's video processing, or the first
// sound stream decoded to 32-bit float.

#include "common/win/com_ptr.h"
#include "play/sound_io.h"
#include "play/video_reader.h"

#include <mfobjects.h>

#include <memory>
#include <optional>
#include <string>

namespace orvelle::clips {

[[nodiscard]] Result<std::unique_ptr<VideoReader>> open_video_reader_win(const std::string& path);
// Nothing when the clip has no sound stream.
[[nodiscard]] Result<std::optional<std::unique_ptr<SoundReader>>> open_sound_reader_win(const std::string& path);

// MFCreateAttributes' answer for the video reader's store: its failure as
// it is, and "no attributes" (E_FAIL) only for a store that came back empty.
[[nodiscard]] Status attribute_store_made(HRESULT hr, const win::ComPtr<IMFAttributes>& store);

}  // namespace orvelle::clips
