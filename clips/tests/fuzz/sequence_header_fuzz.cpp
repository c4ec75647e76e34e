// The sequence-header scan of an H.264 key frame in Annex B form. What it
// returns is a start code and an SPS, then a start code and a PPS, each unit
// a piece of the frame that holds no start code of its own.
//
// The seeds of corpus/sequence_header/ are the first bytes of key frames
// that ffmpeg's libx264 made (testsrc, Annex B), and a few hand-cut frames.

#include "common/tests/fuzz/fuzz_target.h"

#include "ring/sequence_header.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<std::uint8_t, 4> kStartCode = {0, 0, 0, 1};
constexpr std::array<std::uint8_t, 3> kShortCode = {0, 0, 1};

bool holds(std::span<const std::uint8_t> haystack, std::span<const std::uint8_t> piece) {
  return !std::ranges::search(haystack, piece).empty();
}

std::size_t short_codes(std::span<const std::uint8_t> bytes) {
  std::size_t count = 0;
  for (auto rest = bytes; !rest.empty();) {
    auto found = std::ranges::search(rest, kShortCode);
    if (found.empty()) break;
    ++count;
    rest = {found.end(), rest.end()};
  }
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::span<const std::uint8_t> frame(data, size);
  auto header = orvelle::clips::find_sequence_header(frame);
  if (!header) return 0;
  std::span<const std::uint8_t> bytes(*header);
  // Two start codes and nothing that a reader of the stream would take for
  // a third; the second code is the four-byte form, so the SPS ends one byte
  // before the second 00 00 01.
  FUZZ_CHECK(bytes.size() > 4 && std::ranges::equal(bytes.first(4), kStartCode));
  FUZZ_CHECK(short_codes(bytes) == 2);
  auto second = std::ranges::search(bytes.subspan(4), kShortCode).begin();
  FUZZ_CHECK(second - bytes.begin() > 4);
  auto sps = std::span<const std::uint8_t>(bytes.begin() + 4, second - 1);
  auto pps = std::span<const std::uint8_t>(second + 3, bytes.end());
  FUZZ_CHECK(!pps.empty());
  FUZZ_CHECK((sps[0] & 0x1F) == 7 && (pps[0] & 0x1F) == 8);
  FUZZ_CHECK(holds(frame, sps) && holds(frame, pps));
  // Scanned again, the header is its own sequence header.
  FUZZ_CHECK(orvelle::clips::find_sequence_header(bytes) == header);
  return 0;
}
