#pragma once
// Source readers on a clip with one stream selected: the first video
// stream decoded to RGB32 by the reader's video processing, or the first
// sound stream decoded to 32-bit float.

#include "common/win/com_ptr.h"
#include "play/sound_io.h"
#include "play/video_reader.h"

#include <mfapi.h>
#include <mfidl.h>
#include <mfobjects.h>
#include <mfreadwrite.h>  // after mfidl.h, whose sink it names

#include <memory>
#include <optional>
#include <string>

namespace orvelle::clips {

// How the video reader's attribute store is made: the platform's own, or a
// test's that fails as the platform may.
using MakeAttributes = HRESULT(STDAPICALLTYPE*)(IMFAttributes** store, UINT32 initial_size);

[[nodiscard]] Result<std::unique_ptr<VideoReader>> open_video_reader_win(
    const std::string& path, MakeAttributes make_attributes = MFCreateAttributes);
// The video reader over a source reader open on a clip, its video stream
// selected.
[[nodiscard]] std::unique_ptr<VideoReader> video_reader_win(win::ComPtr<IMFSourceReader> reader);
// Nothing when the clip has no sound stream.
[[nodiscard]] Result<std::optional<std::unique_ptr<SoundReader>>> open_sound_reader_win(const std::string& path);

// MFCreateAttributes' answer for the video reader's store: its failure as
// it is, and "no attributes" (E_FAIL) only for a store that came back empty.
[[nodiscard]] Status attribute_store_made(HRESULT hr, const win::ComPtr<IMFAttributes>& store);

}  // namespace orvelle::clips
