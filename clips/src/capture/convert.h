#pragma once
// The rules of frame conversion: every captured picture is cropped to the
// game's client area on the GPU and, unless the encoder takes BGRA, turned
// into NV12 by the video processor, into one of six output textures used in
// turn. Here are the numbers and the bookkeeping; the Direct3D half is
// convert_win.cpp.

#include "common/geometry.h"

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace orvelle::clips {

enum class ConvertMode {
  video_processor,  // BGRA to NV12 by the Direct3D 11 video processor
  copy,             // the encoder takes BGRA: only a cropping region copy
};

// What the capture start hands the converter.
struct ConverterSetup {
  std::uint32_t fps = 60;
  Size item;  // the capture item: the whole window, frame included
  std::int32_t crop_x = 0, crop_y = 0;  // the client area's origin in it
  Size encode;                     // the output size
  ConvertMode mode = ConvertMode::video_processor;
};

inline constexpr std::size_t kOutputSlots = 6;
inline constexpr std::size_t kInputViewCacheSize = 8;

// Values of the platform's enumerations, tied to their names in convert_win.cpp.
inline constexpr std::uint32_t kFormatNv12 = 103;               // DXGI_FORMAT_NV12
inline constexpr std::uint32_t kFormatBgra = 87;                // DXGI_FORMAT_B8G8R8A8_UNORM
inline constexpr std::uint32_t kBindShaderResourceRenderTarget = 0x28;
// Full-range RGB in, limited-range BT.709 YCbCr out.
inline constexpr std::uint32_t kStreamColourSpace = 0;  // DXGI_COLOR_SPACE_RGB_FULL_G22_NONE_P709
inline constexpr std::uint32_t kOutputColourSpace = 8;  // ..._YCBCR_STUDIO_G22_LEFT_P709

// An output texture (the fields of D3D11_TEXTURE2D_DESC that vary or matter).
struct OutputTexture {
  std::uint32_t width = 0, height = 0;
  std::uint32_t format = 0;
  std::uint32_t mip_levels = 1, array_size = 1, sample_count = 1, sample_quality = 0;
  std::uint32_t bind_flags = kBindShaderResourceRenderTarget;
};
OutputTexture output_texture(const ConverterSetup& setup);

// The video processor's content description: progressive frames at
// max(fps, 1)/1, from the item size to the encode size, normal playback.
struct ContentDescription {
  std::uint32_t rate_numerator = 1, rate_denominator = 1;  // input and output alike
  Size input, output;
};
ContentDescription content_description(const ConverterSetup& setup);

// The video processor's stream source: the crop at the encode size.
Rect source_rect(const ConverterSetup& setup);
// Its stream destination and output target: the whole output.
Rect destination_rect(const ConverterSetup& setup);

// The copy mode's source box (D3D11_BOX): the crop, raised to 0 where
// negative, at the encode size.
struct CropBox {
  std::uint32_t left = 0, top = 0, front = 0, right = 0, bottom = 0, back = 1;
  friend bool operator==(const CropBox&, const CropBox&) = default;
};
CropBox crop_box(const ConverterSetup& setup);

// Output slots in turn: a slot is written again six frames later, by which
// time the encoder has read it.
class SlotRing {
 public:
  std::size_t take() {
    std::size_t i = next_;
    next_ = i + 1 == kOutputSlots ? 0 : i + 1;
    return i;
  }

 private:
  std::size_t next_ = 0;
};

// Input views by source texture identity. The capture pool reuses its two
// buffers, so two entries are the rule; a pool that hands out new textures
// empties the cache at the ninth rather than letting it grow.
template <typename Entry>
class InputViewCache {
 public:
  Entry* find(const void* texture) {
    for (auto& [key, entry] : entries_)
      if (key == texture) return &entry;
    return nullptr;
  }
  Entry& add(const void* texture, Entry entry) {
    if (entries_.size() == kInputViewCacheSize) entries_.clear();
    entries_.emplace_back(texture, std::move(entry));
    return entries_.back().second;
  }
  std::size_t size() const { return entries_.size(); }

 private:
  std::vector<std::pair<const void*, Entry>> entries_;
};

}  // namespace orvelle::clips
