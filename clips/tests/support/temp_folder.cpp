#include "support/temp_folder.h"

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace orvelle::clips {

TempFolder::TempFolder(const std::filesystem::path& stem) {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::filesystem::path candidate = std::filesystem::temp_directory_path();
    candidate /= stem.native() + std::filesystem::path(std::to_string(random())).native();
    if (std::filesystem::create_directories(candidate)) {
      path_ = std::move(candidate);
      return;
    }
  }
  throw std::runtime_error("cannot make a temporary folder");
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::file(const std::filesystem::path& name) const {
  return utf8_path(path_ / name);
}

std::string utf8_path(const std::filesystem::path& path) {
  std::u8string text = path.u8string();
  return {text.begin(), text.end()};
}

std::vector<std::uint8_t> read_whole_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_whole_file(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + utf8_path(path));
}

}  // namespace orvelle::clips
