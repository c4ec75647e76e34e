#pragma once
// The simulation's pictures as the core hands them on: a captured frame is a
// reference to a buffer of the game's pool, a converted one a reference to
// FFmpeg's frame. Like the platform's textures, they are opaque to the core
// and let go with the FrameTexture that holds them.

#include "encode/frame_texture.h"
#include "sim/ffmpeg/video_picture.h"
#include "sim/frame_source.h"

#include <memory>

namespace orvelle::clips::sim {

FrameTexture captured_texture(std::shared_ptr<const BgraPicture> picture);
// Only for a texture captured_texture made.
const BgraPicture& captured_picture(const FrameTexture& texture);

FrameTexture converted_texture(VideoPicture picture);
// Only for a texture converted_texture made.
const VideoPicture& converted_picture(const FrameTexture& texture);

}  // namespace orvelle::clips::sim
