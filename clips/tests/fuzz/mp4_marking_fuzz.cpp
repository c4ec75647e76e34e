// The MP4 box walk and the game-sound track marking on a file held in
// memory. Every box lies inside its list's range, one after the other; the
// marking reads and writes only inside the file, leaves a file it fails on
// unchanged, and marking a marked file again changes nothing. Whichever call
// of the file fails, the marking fails with that call's error.
//
// The ffmpeg-* seeds of corpus/mp4_marking/ are clips that ffmpeg made
// (testsrc 64x48 at 10 frames a second for one second, libx264, one or two
// AAC tracks, with and without faststart) with the mdat's payload cut out
// and its size set to 8; the others are made by hand: version-1 track
// headers behind a 64-bit mdat, and a moov before an mdat of size 0.

#include "common/tests/fuzz/fuzz_target.h"

#include "mp4/boxes.h"
#include "mp4/marking.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

using namespace orvelle;
using namespace orvelle::clips;

class MemoryFile final : public RandomAccessFile {
 public:
  explicit MemoryFile(std::vector<std::uint8_t> bytes) : bytes(std::move(bytes)) {}

  Result<std::uint64_t> size() override {
    if (next_call_fails()) return error(injected());
    return bytes.size();
  }
  Status read_at(std::uint64_t offset, std::span<std::uint8_t> out) override {
    FUZZ_CHECK(inside(offset, out.size()));
    if (next_call_fails()) return error(injected());
    std::memcpy(out.data(), bytes.data() + offset, out.size());
    return {};
  }
  Status write_at(std::uint64_t offset, std::span<const std::uint8_t> data) override {
    FUZZ_CHECK(inside(offset, data.size()));
    if (next_call_fails()) return error(injected());
    std::memcpy(bytes.data() + offset, data.data(), data.size());
    return {};
  }

  static WinError injected() { return fail("injected failure"); }

  std::vector<std::uint8_t> bytes;
  std::size_t calls = 0;
  std::size_t failing_call = SIZE_MAX;  // counted from 0

 private:
  bool next_call_fails() { return calls++ == failing_call; }
  bool inside(std::uint64_t offset, std::size_t length) const {
    return offset <= bytes.size() && length <= bytes.size() - offset;
  }
};

bool is_container(const Box& box) {
  for (const char* type : {"moov", "trak", "mdia", "minf", "stbl", "edts", "udta", "dinf"})
    if (box.is(type)) return true;
  return false;
}

void walk(std::span<const std::uint8_t> file, std::uint64_t start, std::uint64_t end, int depth) {
  auto boxes = parse_box_list(file, start, end);
  std::uint64_t at = start;
  for (const Box& box : boxes) {
    FUZZ_CHECK(box.offset == at);
    FUZZ_CHECK(box.header_length == kBoxHeader || box.header_length == kLongBoxHeader);
    FUZZ_CHECK(box.end - box.offset >= box.header_length && box.end <= end);
    at = box.end;
    if (depth > 0 && is_container(box)) walk(file, box.payload(), box.end, depth - 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::span<const std::uint8_t> input(data, size);
  walk(input, 0, size, 8);

  MemoryFile file({input.begin(), input.end()});
  Status marked = mark_alternate_sound_tracks(file);
  if (file.calls > 0) {
    // The size picks the failing call, so the fuzzer reaches each of them.
    MemoryFile failing({input.begin(), input.end()});
    failing.failing_call = size % file.calls;
    Status failed = mark_alternate_sound_tracks(failing);
    FUZZ_CHECK(!failed && failed.error().message == MemoryFile::injected().message);
    FUZZ_CHECK(std::ranges::equal(input, failing.bytes));
  }
  if (!marked) {
    FUZZ_CHECK(std::ranges::equal(input, file.bytes));
    return 0;
  }
  const std::vector<std::uint8_t> once = file.bytes;
  FUZZ_CHECK(mark_alternate_sound_tracks(file));
  FUZZ_CHECK(file.bytes == once);
  return 0;
}
