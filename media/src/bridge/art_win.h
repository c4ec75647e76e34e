#pragma once
// Cover pictures on Windows: the thumbnail's stream opened through
// Windows.Storage.Streams and decoded, scaled (Fant) and cut by
// Windows.Graphics.Imaging, straight-alpha RGBA, without colour management
// or the picture's EXIF orientation.

#include "bridge/platform.h"
#include "common/win/com_ptr.h"
#include "common/win/media_control.h"

namespace orvelle::media {

// The media properties' thumbnail; null when there is none.
std::shared_ptr<Thumbnail> thumbnail_of(win::ComPtr<win::IRandomAccessStreamReference> reference);

// The pixels of picture scaled to scaled and cut to bounds (the whole scaled
// picture when absent); refused with E_INVALIDARG when empty, when the cut
// leaves the scaled picture, or when the buffer would be beyond reason.
Result<PictureBounds> pixel_request(PictureSize scaled, std::optional<PictureBounds> bounds);

}  // namespace orvelle::media
