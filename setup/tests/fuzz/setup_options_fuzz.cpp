// The installer's command line, as bytes split into arguments at each NUL:
// nothing is refused, the language is never empty, and the page address
// holds only unreserved characters and escapes after its "?".

#include "common/tests/fuzz/fuzz_target.h"

#include "main/options.h"
#include "main/page_address.h"

#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvelle::setup;
  std::vector<std::string> args(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0) args.emplace_back();
    else args.back() += static_cast<char>(data[i]);
  }
  SetupOptions o = parse_setup_options(args);
  FUZZ_CHECK(!o.lang.empty());
  FUZZ_CHECK(!o.shots || !o.shots->empty());
  std::string address = page_address(o);
  FUZZ_CHECK(is_page_source(address));  // whatever the query holds
  std::string query = address.substr(address.find('?') + 1);
  for (char c : query) {
    bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                 c == '-' || c == '.' || c == '_' || c == '~' || c == '%' || c == '&' || c == '=';
    FUZZ_CHECK(plain);
  }
  return 0;
}
