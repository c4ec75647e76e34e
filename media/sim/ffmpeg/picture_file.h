#pragma once
// A cover picture file (PNG, JPEG, ...) decoded by FFmpeg's libraries and
// scaled by libswscale: the simulation's stand-in for the platform's
// thumbnail decoder. The Windows programs never link it.

#include "bridge/platform.h"

#include <memory>
#include <string>

struct AVCodecContext;
struct AVCodecParameters;
struct AVFrame;

namespace orvelle::media::sim {

// Opens and decodes the file whole; the picture then scales and cuts itself.
Result<std::unique_ptr<Picture>> open_picture_file(const std::string& path);

// Two steps of the decode, apart so that a test can hand each what no small
// file gives: the stream's decoder opened on the stream's parameters, and the
// decoded picture made RGBA. path names the file in their errors.
struct CodecContextFree {
  void operator()(AVCodecContext* codec) const;
};
using CodecContext = std::unique_ptr<AVCodecContext, CodecContextFree>;
Result<CodecContext> open_decoder(const std::string& path, const AVCodecParameters& parameters);
Result<std::unique_ptr<Picture>> picture_of_frame(const std::string& path, const AVFrame& frame);

}  // namespace orvelle::media::sim
