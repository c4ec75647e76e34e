// Hands every file of the folders on the command line to a fuzz target's
// entry, so each test run replays the seeds and every kept finding under the
// sanitizers, without clang or libFuzzer. A folder that does not exist is
// skipped (a target with no finding yet has no regression folder); no input
// at all is a failure, since it means the seeds went missing.

#include "common/tests/fuzz/fuzz_target.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

std::vector<std::uint8_t> read_whole(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t replayed = 0;
  for (int i = 1; i < argc; ++i) {
    std::filesystem::path folder = argv[i];
    if (!std::filesystem::is_directory(folder)) continue;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
      if (entry.is_regular_file()) files.push_back(entry.path());
    std::ranges::sort(files);
    for (const auto& file : files) {
      // Named before it runs: a crash report does not say which input it was.
      std::printf("%s\n", file.c_str());
      std::fflush(stdout);
      auto bytes = read_whole(file);
      LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
      ++replayed;
    }
  }
  if (replayed == 0) {
    std::fprintf(stderr, "no inputs to replay\n");
    return 1;
  }
  std::printf("%zu inputs replayed\n", replayed);
  return 0;
}
