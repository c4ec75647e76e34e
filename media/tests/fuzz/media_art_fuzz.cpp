// The cover-art geometry on any picture: the first bytes give the analysis
// image's size, the picture's own size and the art size, the rest its
// pixels. The content box always lies inside the image and is never empty,
// and the square always lies inside the scaled picture.

#include "common/tests/fuzz/fuzz_target.h"

#include "bridge/art.h"

#include <cstring>
#include <vector>

using namespace orvelle::media;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 12) return 0;
  auto u16 = [&](std::size_t at) { return static_cast<std::uint32_t>(data[at] | data[at + 1] << 8); };
  PictureSize picture{u16(0) + 1, u16(2) + 1};
  std::uint32_t art = 16 + u16(4) % 497;
  PictureSize a = analysis_size(picture);
  FUZZ_CHECK(a.width >= 1 && a.width <= 256 && a.height >= 1 && a.height <= 256);
  std::vector<std::uint8_t> rgba(static_cast<std::size_t>(a.width) * a.height * 4);
  for (std::size_t i = 0; i < rgba.size(); ++i) rgba[i] = data[6 + i % (size - 6)];
  ContentBox b = find_content_box(rgba, a.width, a.height);
  FUZZ_CHECK(b.left < b.right && b.right <= a.width && b.top < b.bottom && b.bottom <= a.height);
  ArtCut cut = art_cut(picture, b, art);
  FUZZ_CHECK(cut.bounds.width == art && cut.bounds.height == art);
  FUZZ_CHECK(cut.scaled.width >= art && cut.scaled.height >= art);
  FUZZ_CHECK(cut.bounds.x + art <= cut.scaled.width && cut.bounds.y + art <= cut.scaled.height);
  // The scale never runs away from the picture: at most art pixels per
  // source pixel of the box's shorter side, which is at least one analysis pixel.
  FUZZ_CHECK(cut.scaled.width <= static_cast<std::uint64_t>(art) * 256 + art);
  return 0;
}
