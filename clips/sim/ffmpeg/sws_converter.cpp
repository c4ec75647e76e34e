#include "sim/ffmpeg/sws_converter.h"

#include "sim/ffmpeg/av_error.h"

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

namespace orvelle::clips::sim {

SwsConverter::SwsConverter(const ConverterSetup& setup) : setup_(setup), box_(crop_box(setup)) {}

SwsConverter::~SwsConverter() {
  sws_freeContext(sws_);
  for (AVFrame*& slot : slots_) av_frame_free(&slot);
}

Result<std::unique_ptr<SwsConverter>> SwsConverter::create(const ConverterSetup& setup) {
  silence_ffmpeg();
  const auto w = static_cast<int>(setup.encode.width), h = static_cast<int>(setup.encode.height);
  if (w < 2 || h < 2 || w % 2 || h % 2) return error(fail("the encode size must be even"));
  std::unique_ptr<SwsConverter> c(new SwsConverter(setup));
  if (setup.mode == ConvertMode::video_processor) {
    // The sizes match: only the colours change, so no filter is involved.
    c->sws_ = sws_getContext(w, h, AV_PIX_FMT_BGRA, w, h, AV_PIX_FMT_NV12, SWS_POINT, nullptr,
                             nullptr, nullptr);
    if (!c->sws_) return error(fail("no BGRA to NV12 conversion"));
    const int* bt709 = sws_getCoefficients(SWS_CS_ITU709);
    sws_setColorspaceDetails(c->sws_, bt709, /*full range in*/ 1, bt709, /*limited out*/ 0, 0,
                             1 << 16, 1 << 16);
  }
  for (AVFrame*& slot : c->slots_) {
    slot = av_frame_alloc();
    if (!slot) return error(fail("out of memory", hresult::kOutOfMemory));
  }
  return c;
}

// The slot's buffer, or a new one when the encoder still holds the old.
Status SwsConverter::take_slot(AVFrame*& slot) {
  if (slot->buf[0] && av_frame_is_writable(slot)) return {};
  av_frame_unref(slot);
  slot->format = setup_.mode == ConvertMode::video_processor ? AV_PIX_FMT_NV12 : AV_PIX_FMT_BGRA;
  slot->width = static_cast<int>(setup_.encode.width);
  slot->height = static_cast<int>(setup_.encode.height);
  slot->color_range = AVCOL_RANGE_MPEG;
  slot->colorspace = AVCOL_SPC_BT709;
  slot->color_primaries = AVCOL_PRI_BT709;
  slot->color_trc = AVCOL_TRC_BT709;
  if (int e = av_frame_get_buffer(slot, 0); e < 0) return error(av_error(e));
  ++buffers_made_;
  return {};
}

Result<VideoPicture> SwsConverter::convert(const BgraPicture& source) {
  if (box_.right > source.size().width || box_.bottom > source.size().height)
    return error(fail("the picture does not hold the crop"));
  AVFrame*& slot = slots_[next_.take()];
  if (auto s = take_slot(slot); !s) return error(s.error());
  const std::uint8_t* from = source.data() + std::size_t{box_.top} * source.stride() + std::size_t{box_.left} * 4;
  const int from_stride = static_cast<int>(source.stride());
  if (sws_) {
    sws_scale(sws_, &from, &from_stride, 0, static_cast<int>(setup_.encode.height), slot->data,
              slot->linesize);
  } else {
    av_image_copy_plane(slot->data[0], slot->linesize[0], from, from_stride,
                        static_cast<int>(setup_.encode.width) * 4, static_cast<int>(setup_.encode.height));
  }
  AVFrame* out = av_frame_clone(slot);
  if (!out) return error(fail("out of memory", hresult::kOutOfMemory));
  return VideoPicture(out);
}

}  // namespace orvelle::clips::sim
