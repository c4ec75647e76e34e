#pragma once
// Cover pictures on Windows: the thumbnail's stream opened through
// Windows.Storage.Streams and decoded, scaled (Fant) and cut by the Windows
// Imaging Component, straight-alpha RGBA, without colour management or the
// picture's EXIF orientation.

#include "bridge/platform.h"
#include "common/win/com_ptr.h"
#include "common/win/media_control.h"

#include <objidl.h>

namespace orvelle::media {

// A picture decoded from a classic stream.
Result<std::unique_ptr<Picture>> open_picture_stream(IStream* stream);

// The media properties' thumbnail; null when there is none.
std::shared_ptr<Thumbnail> thumbnail_of(win::ComPtr<win::IRandomAccessStreamReference> reference);

}  // namespace orvelle::media
