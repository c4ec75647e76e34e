#include "main/page_address.h"

#include <fmt/format.h>

namespace orvelle::setup {
namespace {

bool unreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~';
}

}  // namespace

std::string percent_encode(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    auto c = static_cast<unsigned char>(ch);
    if (unreserved(c)) {
      out += ch;
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    }
  }
  return out;
}

std::string page_address(const SetupOptions& o) {
  return fmt::format("https://{}/setup.html?lang={}&dir={}&version={}&log={}", kPageHost,
                     percent_encode(o.lang), percent_encode(o.dir), percent_encode(o.version),
                     percent_encode(o.log.value_or("")));
}

bool is_page_source(std::string_view uri) {
  // The runtime gives the source in its normal form (lower-case scheme and
  // host, no default port), so the page's origin and a slash must open it:
  // anything else is another site, however much of our name it carries.
  return uri.starts_with(fmt::format("https://{}/", kPageHost));
}

}  // namespace orvelle::setup
