#pragma once
// Hand-made MP4 files for the marking tests, and a reader of track headers
// that finds them by their type bytes alone, independent of the box walk
// under test.

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

namespace orvelle::clips::fixture {

using Bytes = std::vector<std::uint8_t>;

Bytes be16(std::uint16_t v);
Bytes be32(std::uint32_t v);
Bytes be64(std::uint64_t v);
Bytes text(std::string_view s);
Bytes join(std::initializer_list<Bytes> parts);

// A box with a 32-bit size, and one with size 1 and a 64-bit size.
Bytes box(std::string_view type, std::initializer_list<Bytes> payload = {});
Bytes long_box(std::string_view type, std::initializer_list<Bytes> payload = {});

// A complete track header: 92 bytes in version 0, 104 in version 1.
Bytes tkhd(std::uint8_t version, bool enabled, std::uint16_t group);
// An hdlr box with a handler type ("vide", "soun").
Bytes hdlr(std::string_view handler);
// A trak holding the given tkhd and an mdia with an hdlr of the handler.
Bytes trak(std::string_view handler, Bytes header);
// ftyp, a small mdat and a moov holding the traks.
Bytes clip(std::initializer_list<Bytes> traks);

struct TrackHeader {
  std::size_t offset;  // of the tkhd box
  std::uint8_t version;
  bool enabled;
  std::uint16_t group;
  bool sound;  // the next hdlr after it names 'soun'
};
std::vector<TrackHeader> track_headers(const Bytes& file);
// Sets alternate_group of every track header.
void set_alternate_groups(Bytes& file, std::uint16_t group);
// file as the marking must leave it: every sound track in group 1, only the
// first of them enabled.
Bytes marked(Bytes file);

}  // namespace orvelle::clips::fixture
