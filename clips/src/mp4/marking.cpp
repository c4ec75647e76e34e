#include "mp4/marking.h"

#include "mp4/boxes.h"

#include <exception>
#include <vector>

namespace orvelle::clips {
namespace {

WinError no_moov() { return fail("no moov", hresult::kInvalidData); }

// Where the top-level walk finds the moov box, without reading any other
// box's contents.
Result<Box> find_moov(RandomAccessFile& file, std::uint64_t length) {
  std::uint64_t p = 0;
  while (length - p >= kBoxHeader) {
    std::uint8_t header[kLongBoxHeader];
    if (auto s = file.read_at(p, {header, kBoxHeader}); !s) return error(s.error());
    std::uint64_t have = kBoxHeader;
    if (read_be32(header) == 1 && length - p >= kLongBoxHeader) {
      if (auto s = file.read_at(p + kBoxHeader, {header + kBoxHeader, kBoxHeader}); !s)
        return error(s.error());
      have = kLongBoxHeader;
    }
    auto box = read_box_header({header, have}, p, length);
    if (!box) return error(no_moov());
    if (box->is("moov")) return *box;
    p = box->end;
  }
  return error(no_moov());
}

// The children of a box. A child whose size runs past its parent ends the
// list there: the tracks before it are still marked, the boxes after it are
// not looked at.
std::vector<Box> children(std::span<const std::uint8_t> moov, const Box& parent) {
  return parse_box_list(moov, parent.payload(), parent.end);
}

// The track header of a trak whose handler is 'soun'; a track lacking any of
// the boxes is simply not a sound track.
std::optional<Box> sound_track_header(std::span<const std::uint8_t> moov, const Box& trak) {
  const auto in_trak = children(moov, trak);
  auto tkhd = find_box(in_trak, "tkhd");
  auto mdia = find_box(in_trak, "mdia");
  if (!tkhd || !mdia) return std::nullopt;
  auto hdlr = find_box(children(moov, *mdia), "hdlr");
  // handler_type is bytes 8 to 11 of the hdlr payload.
  if (!hdlr || hdlr->end - hdlr->payload() < 12) return std::nullopt;
  const std::uint8_t* handler = moov.data() + hdlr->payload() + 8;
  if (std::string_view(reinterpret_cast<const char*>(handler), 4) != "soun") return std::nullopt;
  return tkhd;
}

std::vector<Box> sound_track_headers(std::span<const std::uint8_t> moov_bytes, const Box& moov) {
  std::vector<Box> headers;
  for (const Box& child : children(moov_bytes, moov))
    if (child.is("trak"))
      if (auto tkhd = sound_track_header(moov_bytes, child)) headers.push_back(*tkhd);
  return headers;
}

// Offsets from the tkhd payload: the flags' last byte (bit 0: track_enabled)
// and the 16-bit alternate_group, whose place depends on the version.
constexpr std::uint64_t kFlagsByte = 3;
constexpr std::uint64_t kGroupV0 = 34;
constexpr std::uint64_t kGroupV1 = 46;

std::optional<std::uint64_t> group_offset(std::span<const std::uint8_t> moov, const Box& tkhd) {
  if (tkhd.end <= tkhd.payload()) return std::nullopt;
  std::uint64_t at = tkhd.payload() + (moov[tkhd.payload()] == 1 ? kGroupV1 : kGroupV0);
  if (at + 2 > tkhd.end) return std::nullopt;
  return at;
}

}  // namespace

Status mark_alternate_sound_tracks(RandomAccessFile& file) {
  auto length = file.size();
  if (!length) return error(length.error());
  auto moov_box = find_moov(file, *length);
  if (!moov_box) return error(moov_box.error());

  // The size comes from the file: a corrupt one may ask for more memory than
  // there is, which must fail this mark, not end the writer thread.
  std::vector<std::uint8_t> moov;
  try {
    moov.resize(moov_box->end - moov_box->offset);
  } catch (const std::exception&) {
    return error(fail("the moov box does not fit in memory", hresult::kOutOfMemory));
  }
  if (auto s = file.read_at(moov_box->offset, moov); !s) return s;
  // The buffer holds exactly the box the walk found: the same box, at 0.
  Box in_buffer = *moov_box;
  in_buffer.offset = 0;
  in_buffer.end = moov.size();

  const auto tracks = sound_track_headers(moov, in_buffer);
  if (tracks.size() < 2) return {};
  // Every header is checked before any byte changes.
  std::vector<std::uint64_t> groups;
  for (const Box& tkhd : tracks) {
    auto at = group_offset(moov, tkhd);
    if (!at) return error(no_moov());
    groups.push_back(*at);
  }
  for (std::size_t i = 0; i < tracks.size(); ++i) {
    moov[groups[i]] = 0;
    moov[groups[i] + 1] = 1;
    if (i > 0) moov[tracks[i].payload() + kFlagsByte] &= 0xFE;
  }
  return file.write_at(moov_box->offset, moov);
}

}  // namespace orvelle::clips
