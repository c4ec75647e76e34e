#pragma once
// The kind of texture the capture frame pool hands out: BGRA, one level,
// single-sampled, bound as a shader resource and a render target.

#include <d3d11.h>

namespace orvelle::clips {

inline D3D11_TEXTURE2D_DESC pool_texture_desc(UINT width, UINT height) {
  D3D11_TEXTURE2D_DESC d = {};
  d.Width = width;
  d.Height = height;
  d.MipLevels = 1;
  d.ArraySize = 1;
  d.Format = DXGI_FORMAT_B8G8R8A8_UNORM;
  d.SampleDesc.Count = 1;
  d.Usage = D3D11_USAGE_DEFAULT;
  d.BindFlags = D3D11_BIND_SHADER_RESOURCE | D3D11_BIND_RENDER_TARGET;
  return d;
}

}  // namespace orvelle::clips
