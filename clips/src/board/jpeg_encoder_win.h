#pragma once
// The imaging component's Fant scaler and JPEG encoder, for the
// storyboard's thumbnails (Windows only; COM started on the thread).

#include "board/board_ports.h"

#include <memory>

namespace orvelle::clips {

[[nodiscard]] Result<std::unique_ptr<ThumbnailEncoder>> make_wic_jpeg_encoder();

}  // namespace orvelle::clips
