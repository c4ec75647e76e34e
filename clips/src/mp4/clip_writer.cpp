#include "mp4/clip_writer.h"

#include "common/console.h"
#include "common/try.h"
#include "mp4/marking.h"

#include <fmt/format.h>

#include <algorithm>
#include <optional>

namespace orvelle::clips {
namespace {

// A fresh clip is often held open for a moment by a virus scanner or an
// indexer; the move is tried eight times over seven seconds.
constexpr int kMoveTries = 8;
constexpr Ticks kMoveBackoffStep = std::chrono::milliseconds(250);

struct Streams {
  std::uint32_t video = 0;
  std::optional<std::uint32_t> mix, game;
};

// The clip starts at its first picture; groups that hold only sound before
// it contribute nothing.
std::optional<Ticks> base_time(const SaveJob& job) {
  for (const auto& group : job.groups)
    if (!group->video.empty()) return group->video.front().time;
  return std::nullopt;
}

// A sound track that would receive no sample stays out of the file: the
// system's muxer may refuse to finish a file with an empty stream, and once
// a lost playback device has let the ring roll past its last sound packet
// that would fail every later save.
bool has_sound(const SaveJob& job, std::vector<Packet> Gop::*track, Ticks base) {
  for (const auto& group : job.groups)
    for (const Packet& p : (*group).*track)
      if (p.time >= base) return true;
  return false;
}

Result<Streams> add_streams(Muxer& muxer, const SaveJob& job, Ticks base) {
  Streams streams;
  ORVELLE_ASSIGN_OR_RETURN(streams.video,
                           muxer.add_video_stream({job.width, job.height, job.fps, job.bitrate,
                                                   job.sequence_header}));
  if (!job.mix_sound || !has_sound(job, &Gop::audio, base)) return streams;
  ORVELLE_ASSIGN_OR_RETURN(streams.mix, muxer.add_sound_stream(*job.mix_sound));
  // The game-sound track exists only beside the mix.
  if (!job.game_sound || !has_sound(job, &Gop::game_audio, base)) return streams;
  ORVELLE_ASSIGN_OR_RETURN(streams.game, muxer.add_sound_stream(*job.game_sound));
  return streams;
}

// Sound goes in only from the clip's first picture on and only forward:
// a packet at or before the last one written to its stream (a repeat, or
// sound from before a pause) would make the track run backwards. last
// carries across groups.
Status write_sound(Muxer& muxer, std::uint32_t stream, const std::vector<Packet>& packets,
                   Ticks base, Ticks& last) {
  for (const Packet& p : packets) {
    const Ticks t = p.time - base;
    if (t < Ticks{0} || t <= last) continue;
    ORVELLE_TRY(muxer.write_sample(stream, {p.data, p.len, t, std::max(p.duration, Ticks{0}), true}));
    last = t;
  }
  return {};
}

// Every group, oldest first; the result is the clip's end, the end of its
// last picture (sound after it does not lengthen the clip).
Result<Ticks> write_groups(Muxer& muxer, const Streams& streams, const SaveJob& job, Ticks base) {
  const Ticks default_duration{10'000'000 / std::max<std::uint32_t>(job.fps, 1)};
  Ticks end{0};
  Ticks last_mix{-1}, last_game{-1};
  for (const auto& group : job.groups) {
    for (const Packet& p : group->video) {
      const Ticks t = p.time - base;
      const Ticks d = p.duration > Ticks{0} ? p.duration : default_duration;
      ORVELLE_TRY(muxer.write_sample(streams.video, {p.data, p.len, t, d, p.key}));
      end = std::max(end, t + d);
    }
    if (streams.mix) ORVELLE_TRY(write_sound(muxer, *streams.mix, group->audio, base, last_mix));
    if (streams.game)
      ORVELLE_TRY(write_sound(muxer, *streams.game, group->game_audio, base, last_game));
  }
  return end;
}

// What a written file holds: the clip's end and its sound streams.
struct Written {
  Ticks end{0};
  bool mix = false, game = false;
};

// Writes the file and closes it. ours tells whether a file now at the path
// is this save's to delete: one that was there before and that the muxer
// could not open (locked, read-only, someone else's) is not.
Result<Written> write_file(const SaveJob& job, ClipPlatform& platform, bool& ours) {
  const auto base = base_time(job);
  if (!base) return error(fail("no video", hresult::kNoSampleTimestamp));
  const bool existed = platform.files().exists(job.path);
  auto muxer = platform.open_muxer(job.path);
  if (!muxer) {
    ours = !existed && platform.files().exists(job.path);
    return error(muxer.error());
  }
  ours = true;
  ORVELLE_ASSIGN_OR_RETURN(const Streams streams, add_streams(**muxer, job, *base));
  ORVELLE_TRY((*muxer)->begin());
  ORVELLE_ASSIGN_OR_RETURN(const Ticks end, write_groups(**muxer, streams, job, *base));
  ORVELLE_TRY((*muxer)->finalize());
  return Written{end, streams.mix.has_value(), streams.game.has_value()};
}

void mark_game_track(ClipPlatform& platform, std::string_view path) {
  Status marked = [&]() -> Status {
    ORVELLE_ASSIGN_OR_RETURN(auto file, platform.files().open_for_update(path));
    return mark_alternate_sound_tracks(*file);
  }();
  if (!marked)
    write_line(Stream::err,
               fmt::format("could not mark the game sound track: {}", marked.error().text()));
}

// Returns where the clip lies: finish after a successful move, else path.
std::string move_to_finish(const SaveJob& job, ClipPlatform& platform) {
  if (!job.finish) return job.path;
  Status moved;
  for (int attempt = 1;; ++attempt) {
    moved = platform.files().move_replacing(job.path, *job.finish);
    if (moved || attempt == kMoveTries) break;
    platform.sleep_for(attempt * kMoveBackoffStep);
  }
  if (moved) return *job.finish;
  emit_log(job.output->json,
           fmt::format("could not rename the clip file: {}", moved.error().text()));
  return job.path;
}

Json gap_list(const std::vector<SavedGap>& gaps) {
  Json list = Json::array();
  for (const SavedGap& g : gaps)
    list.push_back(Json{{"at", static_cast<std::uint64_t>(std::max<std::int64_t>(g.at, 0))},
                        {"ms", g.ms}});
  return list;
}

void report_saved(const SaveJob& job, std::string_view path, std::uint64_t bytes, const Written& file) {
  emit_event(job.output->json,
             Json{{"event", "save"},
                  {"id", job.id},
                  {"path", path},
                  {"bytes", bytes},
                  {"durationSec", seconds_of(file.end)},
                  {"startWall", static_cast<std::uint64_t>(std::max<std::int64_t>(job.start_wall_ms, 0))},
                  {"audio", file.mix},
                  {"gameTrack", file.game},
                  {"gaps", gap_list(job.gaps)}});
}

}  // namespace

void write_clip(SaveJob job, ClipPlatform& platform) {
  bool ours = false;
  auto written = write_file(job, platform, ours);
  if (written) {
    if (written->game) mark_game_track(platform, job.path);
    const std::uint64_t bytes = platform.files().size(job.path).value_or(0);
    const std::string path = move_to_finish(job, platform);
    report_saved(job, path, bytes, *written);
  } else {
    if (ours) static_cast<void>(platform.files().remove_own(job.path));
    emit_event(job.output->json, Json{{"event", "saveFailed"},
                                      {"id", job.id},
                                      {"message", written.error().text()}});
  }
  // The packets go back before the next save may begin.
  job.groups.clear();
  job.saving_flag->store(false);
}

}  // namespace orvelle::clips
