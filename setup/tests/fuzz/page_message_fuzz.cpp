// A page message, as the page may send any text: the reader never crashes,
// and what it accepts reads back the same from its canonical object form.

#include "common/tests/fuzz/fuzz_target.h"

#include "common/json_write.h"
#include "main/page_message.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvelle::setup;
  std::string text(reinterpret_cast<const char*>(data), size);
  auto message = read_page_message(text);
  if (!message) return 0;
  std::string again = std::string(R"({"show":)") + (message->show ? "true" : "false") +
                      R"(,"type":)";
  orvelle::append_json_string(again, message->type);
  again += '}';
  auto back = read_page_message(again);
  FUZZ_CHECK(back && back->type == message->type && back->show == message->show);
  return 0;
}
