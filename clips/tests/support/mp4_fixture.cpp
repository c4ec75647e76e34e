#include "support/mp4_fixture.h"

#include <algorithm>
#include <cstring>

namespace orvelle::clips::fixture {
namespace {

Bytes sized(std::string_view type, std::initializer_list<Bytes> payload, bool long_size) {
  Bytes body = join(payload);
  std::uint64_t size = body.size() + (long_size ? 16 : 8);
  Bytes out = long_size ? join({be32(1), text(type), be64(size)})
                        : join({be32(static_cast<std::uint32_t>(size)), text(type)});
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

std::size_t group_at(std::uint8_t version) { return 8 + (version == 1 ? 46 : 34); }

std::size_t find(const Bytes& file, std::string_view type, std::size_t from) {
  auto it = std::search(file.begin() + static_cast<std::ptrdiff_t>(from), file.end(), type.begin(),
                        type.end());
  return static_cast<std::size_t>(it - file.begin());
}

}  // namespace

Bytes be16(std::uint16_t v) { return {std::uint8_t(v >> 8), std::uint8_t(v)}; }
Bytes be32(std::uint32_t v) { return join({be16(std::uint16_t(v >> 16)), be16(std::uint16_t(v))}); }
Bytes be64(std::uint64_t v) { return join({be32(std::uint32_t(v >> 32)), be32(std::uint32_t(v))}); }
Bytes text(std::string_view s) { return Bytes(s.begin(), s.end()); }

Bytes join(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

Bytes box(std::string_view type, std::initializer_list<Bytes> payload) {
  return sized(type, payload, false);
}
Bytes long_box(std::string_view type, std::initializer_list<Bytes> payload) {
  return sized(type, payload, true);
}

Bytes tkhd(std::uint8_t version, bool enabled, std::uint16_t group) {
  // Times and ids are filled with a pattern so a shifted write would show.
  std::size_t times = version == 1 ? 32 : 20;
  Bytes fields(times);
  for (std::size_t i = 0; i < times; ++i) fields[i] = std::uint8_t(0xA0 + i);
  return box("tkhd", {Bytes{version, 0, 0, std::uint8_t(enabled ? 3 : 2)}, fields, Bytes(8, 0),
                      be16(0), be16(group), be16(0x0100), be16(0), Bytes(36, 0x11),
                      be32(64 << 16), be32(48 << 16)});
}

Bytes hdlr(std::string_view handler) {
  return box("hdlr", {Bytes(4, 0), Bytes(4, 0), text(handler), Bytes(12, 0), text("x"), Bytes{0}});
}

Bytes trak(std::string_view handler, Bytes header) {
  return box("trak", {header, box("mdia", {box("mdhd", {Bytes(24, 0)}), hdlr(handler)})});
}

Bytes clip(std::initializer_list<Bytes> traks) {
  return join({box("ftyp", {text("isom"), be32(0x200), text("isommp41")}),
               box("mdat", {Bytes(16, 0x5A)}),
               box("moov", {box("mvhd", {Bytes(100, 0)}), join(traks)})});
}

std::vector<TrackHeader> track_headers(const Bytes& file) {
  std::vector<TrackHeader> out;
  for (std::size_t at = find(file, "tkhd", 0); at < file.size(); at = find(file, "tkhd", at + 4)) {
    std::size_t box = at - 4;
    std::uint8_t version = file[box + 8];
    std::size_t g = box + group_at(version);
    // The handler belongs to this track only when it comes before the next track header.
    std::size_t h = find(file, "hdlr", at);
    bool sound = h < find(file, "tkhd", at + 4) && h + 16 <= file.size() &&
                 std::memcmp(&file[h + 12], "soun", 4) == 0;
    out.push_back({box, version, (file[box + 11] & 1) != 0,
                   std::uint16_t((file[g] << 8) | file[g + 1]), sound});
  }
  return out;
}

void set_alternate_groups(Bytes& file, std::uint16_t group) {
  for (const TrackHeader& t : track_headers(file)) {
    std::size_t g = t.offset + group_at(t.version);
    file[g] = std::uint8_t(group >> 8);
    file[g + 1] = std::uint8_t(group);
  }
}

Bytes marked(Bytes file) {
  bool first = true;
  for (const TrackHeader& t : track_headers(file)) {
    if (!t.sound) continue;
    std::size_t g = t.offset + group_at(t.version);
    file[g] = 0;
    file[g + 1] = 1;
    if (!first) file[t.offset + 11] &= 0xFE;
    first = false;
  }
  return file;
}

}  // namespace orvelle::clips::fixture
