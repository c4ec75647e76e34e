#include "sim/ffmpeg/av_sound_reader.h"

#include "common/try.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace orvelle::clips::sim {

Result<std::optional<std::unique_ptr<SoundReader>>> AvSoundReader::open(const std::string& path) {
  ORVELLE_ASSIGN_OR_RETURN(auto decoder, AvStreamDecoder::open(path, StreamKind::sound));
  if (!decoder) return std::optional<std::unique_ptr<SoundReader>>();
  return std::optional<std::unique_ptr<SoundReader>>(
      std::unique_ptr<SoundReader>(new AvSoundReader(std::move(*decoder))));
}

Result<SoundFormat> AvSoundReader::current_format() {
  const AVCodecContext* c = decoder_.codec();
  SoundFormat format{static_cast<std::uint32_t>(c->ch_layout.nb_channels), static_cast<std::uint32_t>(c->sample_rate),
                     true};
  // FFmpeg's channel bits are the platform's speaker bits.
  if (c->ch_layout.order == AV_CHANNEL_ORDER_NATIVE) format.channel_mask = static_cast<std::uint32_t>(c->ch_layout.u.mask);
  return format;
}

Result<SoundRead> AvSoundReader::read(std::vector<float>& samples) {
  SoundRead r;
  ORVELLE_ASSIGN_OR_RETURN(AVFrame * frame, decoder_.next_frame());
  if (!frame) {
    r.end_of_stream = true;
    return r;
  }
  auto channels = static_cast<std::size_t>(frame->ch_layout.nb_channels);
  SoundFormat now{static_cast<std::uint32_t>(channels), static_cast<std::uint32_t>(frame->sample_rate), true};
  // The platform reports a new layout as a type change with the sample.
  r.type_changed = last_ && *last_ != now;
  last_ = now;
  auto n = static_cast<std::size_t>(frame->nb_samples);
  samples.resize(n * channels);
  auto format = static_cast<AVSampleFormat>(frame->format);
  for (std::size_t ch = 0; ch < channels; ++ch) {
    for (std::size_t i = 0; i < n; ++i) {
      float v = 0;
      switch (format) {
        case AV_SAMPLE_FMT_FLTP: v = reinterpret_cast<const float*>(frame->extended_data[ch])[i]; break;
        case AV_SAMPLE_FMT_FLT: v = reinterpret_cast<const float*>(frame->extended_data[0])[i * channels + ch]; break;
        case AV_SAMPLE_FMT_S16P: v = reinterpret_cast<const std::int16_t*>(frame->extended_data[ch])[i] / 32768.0f; break;
        case AV_SAMPLE_FMT_S16:
          v = reinterpret_cast<const std::int16_t*>(frame->extended_data[0])[i * channels + ch] / 32768.0f;
          break;
        default: av_frame_unref(frame); return error(fail("a sound format the stand-in does not convert", hresult::kUnsupportedFormat));
      }
      samples[i * channels + ch] = v;
    }
  }
  r.has_sample = true;
  r.time = decoder_.frame_time(frame);
  av_frame_unref(frame);
  return r;
}

}  // namespace orvelle::clips::sim
