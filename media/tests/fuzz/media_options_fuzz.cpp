// The command line on any arguments (the bytes split at NUL): never more
// than one value per option, the art size always in range, and every
// argument either consumed or named as unknown.

#include "common/tests/fuzz/fuzz_target.h"

#include "app/options.h"

#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> args(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0)
      args.emplace_back();
    else
      args.back() += static_cast<char>(data[i]);
  }
  auto p = orvelle::media::parse_media_options(args);
  FUZZ_CHECK(p.config.art_size >= 16 && p.config.art_size <= 512);
  FUZZ_CHECK(p.unknown.size() <= args.size());
  return 0;
}
