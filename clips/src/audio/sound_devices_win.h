#pragma once
// The sound platform on Windows: WASAPI's device enumerator, endpoints,
// audio clients in loopback, capture and render modes, endpoint ids and
// friendly names, and the ducking opt-out (Windows only). Every object is
// used on the thread that made it, which has joined the multithreaded
// apartment.

#include "audio/sound_ports.h"
#include "common/win/com_ptr.h"

#include <memory>

// Declared here without audioclient.h, which clashes with the DirectShow
// headers of files that include this one.
struct IAudioClient;
struct IAudioCaptureClient;

namespace orvelle::clips {

// Creates the device enumerator.
Result<std::unique_ptr<SoundDevices>> open_wasapi_devices();

// The "audio" thread's platform: WASAPI, the Media Foundation AAC encoder,
// the steady clock. Made on the session's thread, used on the audio thread,
// which it takes into the multithreaded apartment and out again when it is
// let go.
std::unique_ptr<SoundPlatform> windows_sound_platform();

// An initialised client's capture stream; the stream flags it was
// initialised with say whether its packets are asked for their position
// (loopback only).
std::unique_ptr<CaptureStream> wasapi_capture_stream(win::ComPtr<IAudioClient> client,
                                                     win::ComPtr<IAudioCaptureClient> capture,
                                                     std::uint32_t block_align, std::uint32_t stream_flags);

// The --list-mics mode.
int list_microphones_win();

}  // namespace orvelle::clips
