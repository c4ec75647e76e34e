#pragma once
// A converted picture on its way to the encoder: one reference to a
// reference-counted FFmpeg frame, so the converter can hand it on without a
// copy and use the buffer again once the encoder has let go of it. It plays
// the part of the platform's output texture.

#include "common/geometry.h"

#include <cstdint>

struct AVFrame;

namespace orvelle::clips::sim {

enum class PictureFormat { nv12, bgra };

class VideoPicture {
 public:
  VideoPicture() = default;
  // Takes over the frame's reference.
  explicit VideoPicture(AVFrame* frame) : frame_(frame) {}
  VideoPicture(VideoPicture&& other) noexcept : frame_(other.frame_) { other.frame_ = nullptr; }
  VideoPicture& operator=(VideoPicture&& other) noexcept;
  VideoPicture(const VideoPicture&) = delete;
  VideoPicture& operator=(const VideoPicture&) = delete;
  ~VideoPicture();

  // A second reference to the same buffers.
  VideoPicture share() const;

  explicit operator bool() const { return frame_ != nullptr; }
  const AVFrame* frame() const { return frame_; }
  Size size() const;
  PictureFormat format() const;
  // Plane p's bytes from row y on, and the distance between its rows.
  const std::uint8_t* row(int plane, std::uint32_t y) const;
  std::size_t stride(int plane) const;

 private:
  AVFrame* frame_ = nullptr;
};

}  // namespace orvelle::clips::sim
