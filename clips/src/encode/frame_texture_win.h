#pragma once
// The frame's picture on Windows: a reference to a Direct3D 11 texture.

#include "common/win/com_ptr.h"
#include "encode/frame_texture.h"

#include <d3d11.h>

namespace orvelle::clips {

// Takes over the reference texture holds.
inline FrameTexture frame_texture(win::ComPtr<ID3D11Texture2D> texture) {
  return FrameTexture(texture.detach(),
                      [](void* p) noexcept { static_cast<ID3D11Texture2D*>(p)->Release(); });
}

// The texture, still owned by the FrameTexture.
inline ID3D11Texture2D* d3d_texture(const FrameTexture& texture) {
  return static_cast<ID3D11Texture2D*>(texture.get());
}

}  // namespace orvelle::clips
