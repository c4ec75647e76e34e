#include "board/storyboard.h"

#include "common/console.h"
#include "common/json_write.h"
#include "common/try.h"
#include "play/frame_copy.h"

#include <chrono>
#include <cstring>
#include <limits>

namespace orvelle::clips {
namespace {

// How many reads after a seek may come back without a picture.
constexpr int kMaxEmptyReads = 240;

// The next picture at or after the reader's position; nothing at the end of
// the clip or after kMaxEmptyReads reads without one.
Result<std::optional<VideoRead>> next_picture(VideoReader& reader, std::uint64_t& decoded) {
  for (int i = 0; i < kMaxEmptyReads; ++i) {
    ORVELLE_ASSIGN_OR_RETURN(VideoRead read, reader.read());
    if (read.end_of_stream) return std::nullopt;
    if (read.picture) {
      ++decoded;
      return std::optional<VideoRead>(std::move(read));
    }
  }
  return std::nullopt;
}

// The visible area of a decoded picture, packed four bytes a pixel. Where
// the rows lie is checked against the locked buffer before anything is
// read, so the pixel buffer is never larger than the picture it came from.
Result<std::vector<std::uint8_t>> visible_pixels(DecodedPicture& picture, const VideoGeometry& g) {
  ORVELLE_ASSIGN_OR_RETURN(const LockedPicture locked, picture.lock());
  std::vector<std::uint8_t> pixels;
  auto span = locate_rows(locked, g, g.visible_height, g.visible_width);
  if (span && g.visible_width > 0 && g.visible_height > 0) {
    const std::size_t row = std::size_t{g.visible_width} * 4;
    pixels.resize(row * g.visible_height);
    for (std::uint32_t y = 0; y < g.visible_height; ++y)
      std::memcpy(pixels.data() + y * row, locked.buffer + span->first + std::int64_t{y} * span->pitch,
                  row);
  }
  ORVELLE_TRY(picture.unlock());
  if (!span) return error(span.error());
  return pixels;
}

}  // namespace

Result<BoardRun> make_storyboard(const RecorderOptions& options, BoardPlatform& platform) {
  platform.lower_priority();
  const std::string clip = options.storyboard.value_or("");
  const std::string base = board_base_name(clip, options.out);
  ORVELLE_TRY(platform.start_media());

  ORVELLE_ASSIGN_OR_RETURN(auto reader, platform.open_video(clip));
  ORVELLE_TRY(reader->set_rgb32_native());
  ORVELLE_ASSIGN_OR_RETURN(const VideoTypeAttributes type, reader->current_type());
  ORVELLE_ASSIGN_OR_RETURN(VideoGeometry geometry, read_video_geometry(type));
  ORVELLE_ASSIGN_OR_RETURN(const std::uint64_t duration, reader->duration());
  const Ticks step = board_step(duration, options.board_frames);
  ORVELLE_ASSIGN_OR_RETURN(auto encoder, platform.make_encoder());

  BoardRun run;
  run.size = board_out_size(geometry.visible_width, geometry.visible_height, options.board_width);
  std::vector<std::uint8_t> pictures;
  std::vector<BoardFrame> entries;
  std::int64_t last_time = std::numeric_limits<std::int64_t>::min();
  for (Ticks target : board_targets(duration, step)) {
    ORVELLE_TRY(reader->seek(target.count()));
    ORVELLE_ASSIGN_OR_RETURN(std::optional<VideoRead> read, next_picture(*reader, run.decoded));
    if (!read) break;
    // Two targets within one group of pictures land on the same picture.
    if (read->time == last_time) continue;
    if (auto now = reader->current_type()) {
      if (auto g = read_video_geometry(*now)) geometry = *g;
    }
    ORVELLE_ASSIGN_OR_RETURN(const auto pixels, visible_pixels(*read->picture, geometry));
    ORVELLE_ASSIGN_OR_RETURN(
        const auto jpeg,
        encoder->encode(pixels, geometry.visible_width, geometry.visible_height, run.size));
    entries.push_back(BoardFrame{Ticks{read->time}, pictures.size(), jpeg.size()});
    pictures.insert(pictures.end(), jpeg.begin(), jpeg.end());
    last_time = read->time;
  }
  if (entries.empty()) return error(fail("no pictures in the clip"));

  BoardFiles& files = platform.files();
  const std::string index =
      board_index_text(run.size, duration, entries, files.facts(clip));
  const std::string frames_path = base + ".frames", index_path = base + ".json";
  if (Status written = files.write_part_file(frames_path, pictures); !written)
    return error(board_write_error(written.error()));
  const auto* text = reinterpret_cast<const std::uint8_t*>(index.data());
  if (Status written = files.write_part_file(index_path, {text, index.size()}); !written) {
    // The new pictures must not stand beside an index of other pictures:
    // the client would read their offsets into the wrong file. Neither
    // stays, and the client makes the storyboard again.
    static_cast<void>(files.remove(frames_path));
    static_cast<void>(files.remove(index_path));
    return error(board_write_error(written.error()));
  }
  run.frames = entries.size();
  run.bytes = pictures.size();
  return run;
}

int run_storyboard(const RecorderOptions& options, BoardPlatform& platform) {
  const auto started = std::chrono::steady_clock::now();
  Result<BoardRun> run = make_storyboard(options, platform);
  if (!run) {
    write_line(Stream::out, to_json_text(Json{{"error", run.error().text()}}));
    return 1;
  }
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now() - started).count();
  write_line(Stream::out,
             board_result_line(run->frames, run->bytes, run->size, static_cast<std::uint64_t>(ms)));
  return 0;
}

}  // namespace orvelle::clips
