#pragma once
// The system's AAC encoder transform behind the audio wing's transform
// interface: the first synchronous Media Foundation AAC encoder, its media
// types, and one block's input and outputs (Windows only).

#include "audio/sound_ports.h"
#include "common/win/com_ptr.h"

#include <mfobjects.h>
#include <mftransform.h>

#include <memory>

namespace orvelle::clips {

// "no AAC encoder" when none is registered.
Result<std::unique_ptr<AacTransform>> find_aac_transform();

// The interface over a transform already made.
std::unique_ptr<AacTransform> aac_transform_over(win::ComPtr<IMFTransform> transform);

// 16-bit stereo PCM at the rate; raw AAC stereo at 20,000 bytes a second.
Result<win::ComPtr<IMFMediaType>> aac_input_type(std::uint32_t rate);
Result<win::ComPtr<IMFMediaType>> aac_output_type(std::uint32_t rate);

}  // namespace orvelle::clips
