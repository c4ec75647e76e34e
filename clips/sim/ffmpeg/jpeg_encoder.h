#pragma once
// The imaging component's scaler and JPEG encoder, on FFmpeg: libswscale
// scales the packed B, G, R, A picture with an area filter (as the
// platform's Fant interpolation averages), libavcodec's MJPEG encoder
// writes one baseline JPEG file at roughly the platform's quality.

#include "board/board_ports.h"

namespace orvelle::clips::sim {

class JpegEncoder final : public ThumbnailEncoder {
 public:
  Result<std::vector<std::uint8_t>> encode(std::span<const std::uint8_t> bgra, std::uint32_t width,
                                           std::uint32_t height, BoardSize out) override;
};

}  // namespace orvelle::clips::sim
