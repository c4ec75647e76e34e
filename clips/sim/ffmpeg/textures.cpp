#include "sim/ffmpeg/textures.h"

namespace orvelle::clips::sim {
namespace {

using Captured = std::shared_ptr<const BgraPicture>;

void release_captured(void* object) noexcept { delete static_cast<Captured*>(object); }
void release_converted(void* object) noexcept { delete static_cast<VideoPicture*>(object); }

}  // namespace

FrameTexture captured_texture(Captured picture) {
  return FrameTexture(new Captured(std::move(picture)), release_captured);
}

const BgraPicture& captured_picture(const FrameTexture& texture) {
  return **static_cast<const Captured*>(texture.get());
}

FrameTexture converted_texture(VideoPicture picture) {
  return FrameTexture(new VideoPicture(std::move(picture)), release_converted);
}

const VideoPicture& converted_picture(const FrameTexture& texture) {
  return *static_cast<const VideoPicture*>(texture.get());
}

}  // namespace orvelle::clips::sim
