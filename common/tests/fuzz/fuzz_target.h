#pragma once
// What every fuzz target is: libFuzzer's entry over the portable core, plus
// a check for what the code promises beyond not crashing. A broken promise
// ends the run the way a sanitizer finding does, so libFuzzer keeps the
// input and the replay fails on it.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace orvelle::fuzz {

[[noreturn]] inline void broken(const char* what, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: broken promise: %s\n", file, line, what);
  std::abort();
}

}  // namespace orvelle::fuzz

#define FUZZ_CHECK(condition) \
  ((condition) ? static_cast<void>(0) : ::orvelle::fuzz::broken(#condition, __FILE__, __LINE__))
