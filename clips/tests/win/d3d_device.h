#pragma once
// A real Direct3D 11 device for the Windows tests (llvmpipe under Wine), and
// BGRA textures of known pixels written to it and read back from it.

#include "common/win/com_ptr.h"

#include <d3d11.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace orvelle::clips {

struct D3DDevice {
  win::ComPtr<ID3D11Device> device;
  win::ComPtr<ID3D11DeviceContext> context;
};

// A hardware device, else WARP; empty when neither can be made.
D3DDevice make_d3d_device();

// The pixel the pattern textures hold at (x, y).
std::uint32_t pattern_pixel(std::uint32_t x, std::uint32_t y);

// A BGRA texture of the capture pool's kind, filled with pattern_pixel.
win::ComPtr<ID3D11Texture2D> pattern_texture(ID3D11Device* device, std::uint32_t width,
                                             std::uint32_t height);

// A texture's pixels, through a staging copy.
std::vector<std::uint32_t> read_back(const D3DDevice& d3d, ID3D11Texture2D* texture);

}  // namespace orvelle::clips
