#include "sim/tests/judge.h"

#include "common/json_write.h"
#include "sim/time_code.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace orvelle::clips::sim {
namespace {

struct Pipe {
  FILE* file;
  ~Pipe() {
    if (file) ::pclose(file);
  }
  int close() {
    int status = ::pclose(file);
    file = nullptr;
    return status;
  }
};

std::string read_all(FILE* file) {
  std::string out;
  char buffer[1 << 16];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) out.append(buffer, n);
  return out;
}

// An ffprobe run's JSON answer; on a failure, what it said goes to the
// clip's complaint.
std::optional<Json> probe(const std::string& arguments, const std::string& path, JudgedClip& clip) {
  FILE* said = std::tmpfile();
  if (!said) return std::nullopt;
  std::unique_ptr<FILE, int (*)(FILE*)> said_owner(said, std::fclose);
  const std::string command = "ffprobe -v error " + arguments + " -of json " + shell_quoted(path) +
                              " 2>/dev/fd/" + std::to_string(::fileno(said));
  Pipe pipe{::popen(command.c_str(), "r")};
  if (!pipe.file) return std::nullopt;
  std::string out = read_all(pipe.file);
  const bool ok = pipe.close() == 0;
  std::rewind(said);
  std::string complaint = read_all(said);
  if (!ok || !complaint.empty()) {
    clip.complaint = "ffprobe: " + (complaint.empty() ? "failed" : complaint);
    return std::nullopt;
  }
  Json answer = Json::parse(out, nullptr, false);
  if (answer.is_discarded()) {
    clip.complaint = "ffprobe's answer is not JSON";
    return std::nullopt;
  }
  return answer;
}

struct TimeBase {
  std::int64_t num = 1, den = 1;
  Ticks of(std::int64_t value) const {
    return Ticks{static_cast<std::int64_t>(static_cast<__int128>(value) * num * 10'000'000 / den)};
  }
};

TimeBase time_base(const Json& stream) {
  const std::string text = stream.value("time_base", "1/1");
  const auto slash = text.find('/');
  return {std::stoll(text.substr(0, slash)), std::stoll(text.substr(slash + 1))};
}

std::int64_t number(const Json& j, const char* key) {
  if (!j.contains(key)) return 0;
  const Json& v = j[key];
  return v.is_string() ? std::stoll(v.get<std::string>()) : v.get<std::int64_t>();
}

bool read_container(const std::string& path, JudgedClip& clip, TimeBase& video_base) {
  auto answer = probe("-show_entries format=duration,size:stream=codec_type,codec_name,width,height,"
                      "time_base,sample_rate,channels,duration:stream_disposition=default",
                      path, clip);
  if (!answer) return false;
  Json& facts = *answer;
  clip.duration = std::stod(facts["format"].value("duration", "0"));
  clip.bytes = static_cast<std::uint64_t>(number(facts["format"], "size"));
  bool first_video = true;
  for (const Json& s : facts["streams"]) {
    JudgedStream stream;
    stream.type = s.value("codec_type", "");
    stream.codec = s.value("codec_name", "");
    stream.size = {static_cast<std::uint32_t>(number(s, "width")),
                   static_cast<std::uint32_t>(number(s, "height"))};
    stream.sample_rate = static_cast<std::uint32_t>(number(s, "sample_rate"));
    stream.channels = static_cast<std::uint32_t>(number(s, "channels"));
    stream.enabled = s["disposition"].value("default", 0) == 1;
    stream.duration = std::strtod(s.value("duration", "0").c_str(), nullptr);
    if (stream.type == "video" && first_video) {
      video_base = time_base(s);
      first_video = false;
    }
    clip.streams.push_back(stream);
  }
  return true;
}

// The picture stream's packets in file order and its pictures in the order
// they are shown, from one ffprobe run that decodes the stream.
bool read_pictures(const std::string& path, const TimeBase& base, Size size, JudgedClip& clip) {
  auto answer = probe("-select_streams v:0 -show_entries packet=pts,dts,duration,flags:frame=pts,key_frame",
                      path, clip);
  if (!answer) return false;
  for (const Json& item : (*answer)["packets_and_frames"]) {
    if (item.value("type", "") == "packet")
      clip.packets.push_back({base.of(number(item, "pts")), base.of(number(item, "dts")),
                              base.of(number(item, "duration")),
                              item.value("flags", "").find('K') != std::string::npos});
    else
      clip.pictures.push_back({base.of(number(item, "pts")), number(item, "key_frame") == 1, std::nullopt});
  }

  // Every decoded picture as it is, one after the other: the luma plane
  // first, then the two quarter-size chroma planes.
  Pipe decoded{::popen(("ffmpeg -nostdin -v error -i " + shell_quoted(path) +
                        " -map 0:v:0 -fps_mode passthrough -f rawvideo -pix_fmt yuv420p -")
                           .c_str(),
                       "r")};
  if (!decoded.file) return false;
  const std::size_t luma = std::size_t{size.width} * size.height;
  std::vector<std::uint8_t> picture(luma + 2 * (std::size_t{(size.width + 1) / 2} * ((size.height + 1) / 2)));
  std::size_t i = 0;
  while (std::fread(picture.data(), 1, picture.size(), decoded.file) == picture.size()) {
    if (i < clip.pictures.size()) clip.pictures[i].code = read_time_code(picture.data(), size.width, size);
    ++i;
  }
  if (decoded.close() != 0 || i != clip.pictures.size()) {
    clip.complaint = "ffmpeg decoded " + std::to_string(i) + " pictures, ffprobe listed " +
                     std::to_string(clip.pictures.size());
    return false;
  }
  return true;
}

}  // namespace

Ticks JudgedSound::time_of(std::size_t sample) const {
  const auto frame = std::upper_bound(frame_at.begin(), frame_at.end(), sample) - frame_at.begin() - 1;
  if (frame < 0 || rate == 0) return Ticks{0};
  const auto f = static_cast<std::size_t>(frame);
  return frame_times[f] + Ticks{static_cast<std::int64_t>(sample - frame_at[f]) * 10'000'000 / rate};
}

JudgedSound judge_sound(const std::string& path, std::size_t sound_track) {
  JudgedSound sound;
  JudgedClip complaints;
  const std::string stream = "a:" + std::to_string(sound_track);
  auto answer = probe("-select_streams " + stream +
                          " -show_entries stream=time_base,sample_rate,channels:frame=pts,nb_samples",
                      path, complaints);
  if (!answer || (*answer)["streams"].empty()) return sound;
  const Json& facts = (*answer)["streams"][0];
  const TimeBase base = time_base(facts);
  sound.rate = static_cast<std::uint32_t>(number(facts, "sample_rate"));
  const auto channels = static_cast<std::size_t>(number(facts, "channels"));
  std::vector<std::size_t> sizes;
  for (const Json& f : (*answer)["frames"]) {
    sound.frame_times.push_back(base.of(number(f, "pts")));
    sizes.push_back(static_cast<std::size_t>(number(f, "nb_samples")));
  }
  Pipe decoded{::popen(("ffmpeg -nostdin -v error -i " + shell_quoted(path) + " -map 0:" + stream +
                        " -f f32le -")
                           .c_str(),
                       "r")};
  if (!decoded.file || channels == 0) return sound;
  std::vector<float> frame(channels);
  while (std::fread(frame.data(), sizeof(float), channels, decoded.file) == channels)
    sound.samples.push_back(frame[0]);
  std::size_t at = 0;
  for (std::size_t n : sizes) {
    sound.frame_at.push_back(at);
    at += n;
  }
  sound.accepted = decoded.close() == 0 && at == sound.samples.size();
  return sound;
}

std::string shell_quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

JudgedClip judge_clip(const std::string& path) {
  JudgedClip clip;
  TimeBase video_base;
  if (!read_container(path, clip, video_base)) return clip;
  Size size;
  for (const JudgedStream& s : clip.streams)
    if (s.type == "video") {
      size = s.size;
      break;
    }
  if (size.width == 0) {
    clip.accepted = true;
    return clip;
  }
  clip.accepted = read_pictures(path, video_base, size, clip);
  return clip;
}

}  // namespace orvelle::clips::sim
