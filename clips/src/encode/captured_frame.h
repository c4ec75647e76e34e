#pragma once
// The message of the frame channel: one converted picture from the frame
// handler to the "encoder" thread. The channel holds two; the handler never
// waits on it, so a busy encoder costs dropped frames, never a stalled
// capture thread.

#include "common/channel.h"
#include "common/media_time.h"
#include "encode/frame_texture.h"

#include <cstddef>
#include <utility>

namespace orvelle::clips {

struct CapturedFrame {
  FrameTexture texture;  // the converted picture, owned by the message
  Ticks time{0};         // its clip time
  Ticks duration{0};     // the pacing interval
};

inline constexpr std::size_t kFrameChannelCapacity = 2;

using FrameSender = Sender<CapturedFrame>;
using FrameReceiver = Receiver<CapturedFrame>;

inline std::pair<FrameSender, FrameReceiver> make_frame_channel() {
  return make_channel<CapturedFrame>(kFrameChannelCapacity);
}

}  // namespace orvelle::clips
