#include "capture/convert.h"

#include <algorithm>

namespace orvelle::clips {
namespace {

std::int32_t offset(std::int32_t origin, std::uint32_t length) {
  return static_cast<std::int32_t>(static_cast<std::int64_t>(origin) + length);
}

}  // namespace

OutputTexture output_texture(const ConverterSetup& setup) {
  OutputTexture t;
  t.width = setup.encode.width;
  t.height = setup.encode.height;
  t.format = setup.mode == ConvertMode::copy ? kFormatBgra : kFormatNv12;
  return t;
}

ContentDescription content_description(const ConverterSetup& setup) {
  ContentDescription d;
  d.rate_numerator = std::max<std::uint32_t>(setup.fps, 1);
  d.input = setup.item;
  d.output = setup.encode;
  return d;
}

Rect source_rect(const ConverterSetup& setup) {
  return {setup.crop_x, setup.crop_y, offset(setup.crop_x, setup.encode.width),
          offset(setup.crop_y, setup.encode.height)};
}

Rect destination_rect(const ConverterSetup& setup) {
  return {0, 0, static_cast<std::int32_t>(setup.encode.width),
          static_cast<std::int32_t>(setup.encode.height)};
}

CropBox crop_box(const ConverterSetup& setup) {
  CropBox b;
  b.left = static_cast<std::uint32_t>(std::max(setup.crop_x, 0));
  b.top = static_cast<std::uint32_t>(std::max(setup.crop_y, 0));
  b.right = b.left + setup.encode.width;
  b.bottom = b.top + setup.encode.height;
  return b;
}

}  // namespace orvelle::clips
