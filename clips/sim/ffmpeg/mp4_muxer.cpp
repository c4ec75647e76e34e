#include "sim/ffmpeg/mp4_muxer.h"

#include "mp4/marking.h"
#include "sim/ffmpeg/av_error.h"
#include "sim/posix_file.h"
#include "sim/system_error.h"

#include <climits>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace orvelle::clips::sim {
namespace {

constexpr AVRational kMediaTimeBase{1, 10'000'000};

WinError out_of_memory() { return fail("out of memory", hresult::kOutOfMemory); }

bool set_extradata(AVCodecParameters* par, const std::vector<std::uint8_t>& bytes) {
  if (bytes.empty()) return true;
  par->extradata = static_cast<std::uint8_t*>(av_mallocz(bytes.size() + AV_INPUT_BUFFER_PADDING_SIZE));
  if (!par->extradata) return false;
  std::memcpy(par->extradata, bytes.data(), bytes.size());
  par->extradata_size = static_cast<int>(bytes.size());
  return true;
}

// The muxer's hold on a packet's bytes is one more holder of the ring's
// shared data, let go when the muxer is done with it.
void release_shared(void* opaque, std::uint8_t*) { delete static_cast<PacketData*>(opaque); }

AVBufferRef* share_with_muxer(const Packet& packet) {
  auto* holder = new PacketData(packet.data);
  AVBufferRef* buffer = av_buffer_create(const_cast<std::uint8_t*>(packet.data.get()), packet.len,
                                         release_shared, holder, AV_BUFFER_FLAG_READONLY);
  if (!buffer) delete holder;
  return buffer;
}

// A new stream of the clip, on media time and enabled, as the platform's
// writer leaves every stream; nothing when memory ran out.
AVStream* add_stream(AVFormatContext* format, AVMediaType type, AVCodecID codec, std::uint32_t bitrate,
                     const std::vector<std::uint8_t>& extradata) {
  AVStream* st = avformat_new_stream(format, nullptr);
  if (!st) return nullptr;
  st->codecpar->codec_type = type;
  st->codecpar->codec_id = codec;
  st->codecpar->bit_rate = bitrate;
  if (!set_extradata(st->codecpar, extradata)) return nullptr;
  st->time_base = kMediaTimeBase;
  st->disposition = AV_DISPOSITION_DEFAULT;
  return st;
}

}  // namespace

Mp4Muxer::~Mp4Muxer() { close(); }

void Mp4Muxer::close() {
  av_packet_free(&packet_);
  if (format_ && file_open_) avio_closep(&format_->pb);
  file_open_ = false;
  avformat_free_context(format_);
  format_ = nullptr;
}

Status Mp4Muxer::add_video(const VideoTrack& video) {
  AVStream* st = add_stream(format_, AVMEDIA_TYPE_VIDEO, AV_CODEC_ID_H264, video.bitrate, video.sequence_header);
  if (!st) return error(out_of_memory());
  st->codecpar->width = static_cast<int>(video.size.width);
  st->codecpar->height = static_cast<int>(video.size.height);
  st->avg_frame_rate = {static_cast<int>(video.fps == 0 ? 1 : video.fps), 1};
  return {};
}

Status Mp4Muxer::add_sound(const SoundTrack& sound) {
  AVStream* st = add_stream(format_, AVMEDIA_TYPE_AUDIO, AV_CODEC_ID_AAC, sound.bitrate, sound.config);
  if (!st) return error(out_of_memory());
  st->codecpar->sample_rate = static_cast<int>(sound.sample_rate);
  av_channel_layout_default(&st->codecpar->ch_layout, static_cast<int>(sound.channels));
  st->codecpar->frame_size = 1024;
  return {};
}

Result<std::unique_ptr<Mp4Muxer>> Mp4Muxer::create(const std::string& path, const VideoTrack& video,
                                                    std::span<const SoundTrack> sound) {
  silence_ffmpeg();
  if (auto writable = refuse_read_only(path); !writable) return error(writable.error());
  std::unique_ptr<Mp4Muxer> m(new Mp4Muxer);
  if (int e = avformat_alloc_output_context2(&m->format_, nullptr, "mp4", path.c_str()); e < 0)
    return error(av_error(e));
  m->packet_ = av_packet_alloc();
  if (!m->packet_) return error(out_of_memory());
  if (auto s = m->add_video(video); !s) return error(s.error());
  for (const SoundTrack& track : sound)
    if (auto s = m->add_sound(track); !s) return error(s.error());
  if (int e = avio_open(&m->format_->pb, path.c_str(), AVIO_FLAG_WRITE); e < 0)
    return error(av_error(e));
  m->file_open_ = true;
  if (int e = avformat_write_header(m->format_, nullptr); e < 0) return error(av_error(e));
  return m;
}

Status Mp4Muxer::write(std::size_t stream, const Packet& packet, Ticks time, Ticks duration, bool key) {
  if (!format_ || stream >= format_->nb_streams) return error(fail("no such stream"));
  if (packet.len > INT_MAX || !packet.data) return error(fail("a packet the muxer cannot take"));
  AVBufferRef* buffer = share_with_muxer(packet);
  if (!buffer) return error(out_of_memory());
  AVStream* st = format_->streams[stream];
  packet_->buf = buffer;
  packet_->data = buffer->data;
  packet_->size = static_cast<int>(packet.len);
  packet_->pts = packet_->dts = time.count();
  packet_->duration = duration.count();
  packet_->flags = key ? AV_PKT_FLAG_KEY : 0;
  packet_->stream_index = static_cast<int>(stream);
  av_packet_rescale_ts(packet_, kMediaTimeBase, st->time_base);
  // The muxer takes the packet's reference, whatever the outcome.
  if (int e = av_interleaved_write_frame(format_, packet_); e < 0) return error(av_error(e));
  return {};
}

Status Mp4Muxer::finish() {
  if (!format_) return error(fail("the clip is already finished"));
  int written = av_write_trailer(format_);
  int closed = avio_closep(&format_->pb);
  file_open_ = false;
  close();
  if (written < 0) return error(av_error(written));
  if (closed < 0) return error(av_error(closed));
  return {};
}

Status mark_sound_tracks(const std::string& path) {
  auto file = PosixFile::open(path);
  if (!file) return error(file.error());
  return mark_alternate_sound_tracks(**file);
}

}  // namespace orvelle::clips::sim
