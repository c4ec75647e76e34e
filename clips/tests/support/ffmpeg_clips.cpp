#include "support/ffmpeg_clips.h"

#include "support/posix_file.h"
#include "support/temp_folder.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace orvelle::clips::fixture {
namespace {

std::uint64_t be(const Bytes& b, std::size_t at, int n) {
  std::uint64_t v = 0;
  for (int i = 0; i < n; ++i) v = (v << 8) | b[at + static_cast<std::size_t>(i)];
  return v;
}

}  // namespace

std::vector<TopBox> top_level_boxes(const Bytes& file) {
  std::vector<TopBox> boxes;
  for (std::size_t p = 0; p + 8 <= file.size();) {
    std::uint64_t size = be(file, p, 4);
    if (size == 1) size = be(file, p + 8, 8);
    if (size == 0) size = file.size() - p;
    if (size < 8 || size > file.size() - p) break;
    boxes.push_back({std::string(file.begin() + static_cast<std::ptrdiff_t>(p) + 4,
                                 file.begin() + static_cast<std::ptrdiff_t>(p) + 8),
                     p, size});
    p += size;
  }
  return boxes;
}

Bytes make_ffmpeg_clip(const std::string& path, int sound_tracks, bool faststart,
                       int seconds, const std::string& picture) {
  const std::string duration = ":duration=" + std::to_string(seconds);
  std::string cmd = "ffmpeg -nostdin -v error -y -f lavfi -i " + picture + duration;
  for (int i = 0; i < sound_tracks; ++i)
    cmd += " -f lavfi -i sine=frequency=" + std::to_string(220 * (i + 1)) + duration;
  for (int i = 0; i <= sound_tracks; ++i) cmd += " -map " + std::to_string(i);
  cmd += " -c:v libx264 -preset ultrafast -c:a aac -disposition:a default";
  if (faststart) cmd += " -movflags +faststart";
  cmd += " '" + path + "'";
  if (std::system(cmd.c_str()) != 0) return {};
  Bytes file = read_whole_file(path);
  set_alternate_groups(file, 0);
  write_whole_file(path, file);
  return file;
}

void widen_mdat(Bytes& file) {
  auto boxes = top_level_boxes(file);
  if (boxes.size() < 3 || boxes[1].type != "free" || boxes[1].size != 8 || boxes[2].type != "mdat")
    throw std::runtime_error("no 8-byte free box before the mdat");
  Bytes header = join({be32(1), text("mdat"), be64(boxes[2].size + 8)});
  std::copy(header.begin(), header.end(), file.begin() + static_cast<std::ptrdiff_t>(boxes[1].offset));
}

std::vector<std::string> ffprobe_dispositions(const std::string& path) {
  std::string cmd = "ffprobe -v error -show_entries stream=codec_type:stream_disposition=default "
                    "-of csv=p=0 '" + path + "'";
  std::vector<std::string> lines;
  FILE* out = ::popen(cmd.c_str(), "r");
  if (!out) return lines;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, out)) {
    std::string line(buffer);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    lines.push_back(line);
  }
  if (::pclose(out) != 0) lines.push_back("ffprobe failed");
  return lines;
}

}  // namespace orvelle::clips::fixture
