#pragma once
// One message from the setup page: a JSON object {"type": …, "show": …} or
// the array form [type, show]. The page is outside content: anything else is
// refused whole.

#include <cstddef>
#include <expected>
#include <string>
#include <string_view>

namespace orvelle::setup {

struct PageMessage {
  std::string type;
  bool show = false;
};

// No message of the page needs more; a longer one is refused unread.
inline constexpr std::size_t kLongestPageMessage = 64 * 1024;

// The error says what was wrong ("missing field `type`", "duplicate field
// `show`", an invalid type), for tests; the program drops such messages.
std::expected<PageMessage, std::string> read_page_message(std::string_view json);

}  // namespace orvelle::setup
