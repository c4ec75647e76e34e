#include "common/winrt_iid.h"

#include "common/sha1.h"

#include <fmt/format.h>

namespace orvelle {
namespace {

// 11f47ad5-7b73-42c0-abae-878b1e16adee, in network byte order.
constexpr std::array<std::uint8_t, 16> kWinRtNamespace = {
    0x11, 0xf4, 0x7a, 0xd5, 0x7b, 0x73, 0x42, 0xc0,
    0xab, 0xae, 0x87, 0x8b, 0x1e, 0x16, 0xad, 0xee};

std::string lower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

}  // namespace

std::string guid_text(const Guid& g) {
  return fmt::format("{:08x}-{:04x}-{:04x}-{:02x}{:02x}-{:02x}{:02x}{:02x}{:02x}{:02x}{:02x}",
                     g.data1, g.data2, g.data3, g.data4[0], g.data4[1], g.data4[2], g.data4[3],
                     g.data4[4], g.data4[5], g.data4[6], g.data4[7]);
}

Guid winrt_iid(std::string_view signature) {
  std::string name(kWinRtNamespace.begin(), kWinRtNamespace.end());
  name += signature;
  Sha1Digest h = sha1(name);
  // The first 16 bytes of the hash, read big-endian, with the version (5)
  // and the variant (10xx) stamped in.
  Guid g;
  g.data1 = std::uint32_t{h[0]} << 24 | std::uint32_t{h[1]} << 16 | std::uint32_t{h[2]} << 8 | h[3];
  g.data2 = static_cast<std::uint16_t>(h[4] << 8 | h[5]);
  g.data3 = static_cast<std::uint16_t>(((h[6] << 8 | h[7]) & 0x0FFF) | 0x5000);
  for (int i = 0; i < 8; ++i) g.data4[i] = h[8 + i];
  g.data4[0] = static_cast<std::uint8_t>((g.data4[0] & 0x3F) | 0x80);
  return g;
}

namespace signature {

std::string interface_type(std::string_view iid) { return fmt::format("{{{}}}", lower(iid)); }

std::string runtime_class(std::string_view name, std::string_view default_interface) {
  return fmt::format("rc({};{})", name, default_interface);
}

std::string enumeration(std::string_view name, bool flags) {
  return fmt::format("enum({};{})", name, flags ? "u4" : "i4");
}

std::string delegate_type(std::string_view iid) {
  return fmt::format("delegate({})", interface_type(iid));
}

std::string pinterface(std::string_view generic_iid, std::initializer_list<std::string_view> args) {
  std::string out = fmt::format("pinterface({}", interface_type(generic_iid));
  for (std::string_view a : args) {
    out += ';';
    out += a;
  }
  out += ')';
  return out;
}

}  // namespace signature
}  // namespace orvelle
