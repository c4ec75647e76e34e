// The installer's status file, any bytes: the reader never crashes, a
// message comes only with "failed", and it carries no line end and no
// white space at either end.

#include "common/tests/fuzz/fuzz_target.h"

#include "common/text.h"
#include "main/status_file.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvelle::setup;
  std::string text(reinterpret_cast<const char*>(data), size);
  StatusWord s = read_status(text);
  if (s.kind != StatusWord::Kind::Failed) FUZZ_CHECK(s.message.empty());
  FUZZ_CHECK(s.message.find('\n') == std::string::npos);
  FUZZ_CHECK(orvelle::trim_unicode_whitespace(s.message).size() == s.message.size());
  return 0;
}
