#pragma once
// The default playback device in shared mode, fed 32-bit float at the
// stream's own layout (the audio engine converts), with its own clock.

#include "play/sound_io.h"

#include <memory>

namespace orvelle::clips {

[[nodiscard]] Result<std::unique_ptr<SoundDevice>> open_render_client(const SoundFormat& format);

}  // namespace orvelle::clips
