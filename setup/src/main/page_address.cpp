#include "main/page_address.h"

#include "common/path_join.h"

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

std::string user_data_folder(std::string_view temp_folder, std::uint32_t process_id) {
  return join_path(temp_folder, fmt::format("orvelle-setup-webview-{}", process_id));
}

}  // namespace orvelle::setup
