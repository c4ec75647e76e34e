#include "win/d3d_device.h"

#include "win/pool_texture.h"

#include <gtest/gtest.h>

#include <cstring>

namespace orvelle::clips {

D3DDevice make_d3d_device() {
  D3DDevice d3d;
  for (D3D_DRIVER_TYPE driver : {D3D_DRIVER_TYPE_HARDWARE, D3D_DRIVER_TYPE_WARP}) {
    if (SUCCEEDED(D3D11CreateDevice(nullptr, driver, nullptr, D3D11_CREATE_DEVICE_BGRA_SUPPORT,
                                    nullptr, 0, D3D11_SDK_VERSION, d3d.device.put(), nullptr,
                                    d3d.context.put())))
      break;
  }
  return d3d;
}

std::uint32_t pattern_pixel(std::uint32_t x, std::uint32_t y) {
  return 0xFF000000u | (x << 16) | (y << 8) | ((x * 7 + y * 13) & 0xFF);
}

win::ComPtr<ID3D11Texture2D> pattern_texture(ID3D11Device* device, std::uint32_t width,
                                             std::uint32_t height) {
  std::vector<std::uint32_t> pixels(std::size_t{width} * height);
  for (std::uint32_t y = 0; y < height; ++y)
    for (std::uint32_t x = 0; x < width; ++x) pixels[std::size_t{y} * width + x] = pattern_pixel(x, y);
  D3D11_TEXTURE2D_DESC d = pool_texture_desc(width, height);
  D3D11_SUBRESOURCE_DATA init = {pixels.data(), width * 4, 0};
  win::ComPtr<ID3D11Texture2D> t;
  EXPECT_EQ(device->CreateTexture2D(&d, &init, t.put()), S_OK);
  return t;
}

std::vector<std::uint32_t> read_back(const D3DDevice& d3d, ID3D11Texture2D* texture) {
  D3D11_TEXTURE2D_DESC d;
  texture->GetDesc(&d);
  d.Usage = D3D11_USAGE_STAGING;
  d.BindFlags = 0;
  d.CPUAccessFlags = D3D11_CPU_ACCESS_READ;
  win::ComPtr<ID3D11Texture2D> staging;
  EXPECT_EQ(d3d.device->CreateTexture2D(&d, nullptr, staging.put()), S_OK);
  d3d.context->CopyResource(staging.get(), texture);
  D3D11_MAPPED_SUBRESOURCE mapped;
  EXPECT_EQ(d3d.context->Map(staging.get(), 0, D3D11_MAP_READ, 0, &mapped), S_OK);
  std::vector<std::uint32_t> out(std::size_t{d.Width} * d.Height);
  for (UINT y = 0; y < d.Height; ++y)
    std::memcpy(&out[std::size_t{y} * d.Width],
                static_cast<const char*>(mapped.pData) + std::size_t{y} * mapped.RowPitch,
                d.Width * 4);
  d3d.context->Unmap(staging.get(), 0);
  return out;
}

}  // namespace orvelle::clips
