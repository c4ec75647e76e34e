#pragma once
// A decoded picture over a sample's contiguous buffer, as the player and the
// storyboard lock it: in two dimensions where the buffer offers it, else
// plainly.

#include "common/win/com_ptr.h"
#include "play/video_reader.h"

#include <mfobjects.h>

#include <memory>

namespace orvelle::clips {

std::unique_ptr<DecodedPicture> decoded_picture_win(win::ComPtr<IMFMediaBuffer> buffer);

}  // namespace orvelle::clips
