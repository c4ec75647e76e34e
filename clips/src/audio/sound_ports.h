#pragma once
// What the "audio" thread and the microphone list ask of the platform: the
// device enumerator, its endpoints and their audio clients, the AAC
// transform, a clock. The Windows layer answers with WASAPI and Media
// Foundation, the simulation with stand-ins, the tests with fakes. Every
// object is made and used on the thread that asked for it.

#include "common/media_time.h"
#include "common/win_error.h"
#include "mp4/clip_job.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace orvelle::clips {

// Stream flags of the audio client, as the platform numbers them.
inline constexpr std::uint32_t kStreamLoopback = 0x20000;
inline constexpr std::uint32_t kStreamAutoConvert = 0x88000000;  // convert PCM, good resampling

// One captured packet. The bytes are the platform's, valid until the packet
// is released.
struct CapturePacket {
  std::span<const std::uint8_t> bytes;  // frames × block align
  std::uint32_t frames = 0;
  bool silent = false;
  Ticks position{0};  // capture time of its first frame
};

// An initialised capture stream: the audio client with its capture service.
// Letting it go releases both without stopping the client.
class CaptureStream {
 public:
  virtual ~CaptureStream() = default;
  virtual Status start() = 0;
  virtual void stop() = 0;  // failures ignored
  virtual Result<std::uint32_t> next_packet_size() = 0;
  virtual Result<CapturePacket> get_packet() = 0;
  virtual Status release_packet(std::uint32_t frames) = 0;
};

// One freshly activated audio client.
class AudioClient {
 public:
  virtual ~AudioClient() = default;
  // The WAVEFORMATEX bytes of the device's mix format.
  virtual Result<std::vector<std::uint8_t>> mix_format() = 0;
  // Shared mode, a 200 ms buffer, the given flags and WAVEFORMATEX bytes;
  // then its capture service.
  virtual Result<std::unique_ptr<CaptureStream>> initialise_capture(std::uint32_t stream_flags,
                                                                    std::span<const std::uint8_t> format) = 0;
};

// The render stream that keeps the playback device running while the game is
// quiet, so the loopback goes on delivering packets: it plays silence only.
class SilenceStream {
 public:
  virtual ~SilenceStream() = default;
  virtual Status start() = 0;
  virtual void stop() = 0;  // failures ignored
  // Fills whatever the device's buffer has free with silence; failures ignored.
  virtual void top_up() = 0;
};

class RenderEndpoint {
 public:
  virtual ~RenderEndpoint() = default;
  virtual Result<std::unique_ptr<AudioClient>> activate() = 0;
  // A second client of the device in shared mode with the format, 200 ms.
  virtual Result<std::unique_ptr<SilenceStream>> open_silence(std::span<const std::uint8_t> format) = 0;
};

class CaptureEndpoint {
 public:
  virtual ~CaptureEndpoint() = default;
  // The endpoint's id; empty when it is not valid text.
  virtual Result<std::string> id() = 0;
  // Asks the system not to lower other sounds while this device records;
  // failures ignored.
  virtual void opt_out_of_ducking() = 0;
  virtual Result<std::unique_ptr<AudioClient>> activate() = 0;
};

struct ListedMicrophone {
  std::string id;
  std::optional<std::string> name;  // absent when it cannot be read
};

// The device enumerator.
class SoundDevices {
 public:
  virtual ~SoundDevices() = default;
  // The default playback device for the console role.
  virtual Result<std::unique_ptr<RenderEndpoint>> default_render() = 0;
  // The endpoint with that id, or the default capture device.
  virtual Result<std::unique_ptr<CaptureEndpoint>> capture_endpoint(const std::optional<std::string>& id) = 0;
  // The default capture device's id for the console role; none when there is
  // none or any call fails.
  virtual std::optional<std::string> default_capture_endpoint_id() = 0;
  // The active capture endpoints in the system's order.
  virtual Result<std::vector<ListedMicrophone>> active_microphones() = 0;
};

// The AAC encoder transform, synchronous: one block in, then outputs drawn
// until it wants more input.
struct AacStreamInfo {
  std::uint32_t flags = 0;
  std::uint32_t size = 0;  // bytes an output buffer needs; 0: unknown
};
inline constexpr std::uint32_t kProvidesSamples = 0x300;  // provides, or can provide, its samples

enum class AacDraw { need_more_input, no_sample, frame };

// Takes one output frame while the draw runs; the bytes are the transform's.
class AacFrameSink {
 public:
  virtual void take(std::span<const std::uint8_t> bytes, std::optional<Ticks> time,
                    std::optional<Ticks> duration) = 0;

 protected:
  ~AacFrameSink() = default;
};

class AacTransform {
 public:
  virtual ~AacTransform() = default;
  // 16-bit stereo PCM at the rate.
  virtual Status set_input_type(std::uint32_t rate) = 0;
  // Raw AAC, stereo, at the rate, 20,000 bytes a second.
  virtual Status set_output_type(std::uint32_t rate) = 0;
  // The output type as it now stands, for the clip writer's sound track.
  virtual Result<SharedSoundType> current_output_type() = 0;
  virtual Result<AacStreamInfo> output_stream_info() = 0;
  // Begin streaming, then start of stream.
  virtual Status begin_streaming() = 0;
  virtual Status process_input(std::span<const std::int16_t> values, Ticks time, Ticks duration) = 0;
  // One output: with provides_samples the transform brings its own sample,
  // else one of buffer_size bytes is handed to it.
  virtual Result<AacDraw> process_output(bool provides_samples, std::uint32_t buffer_size,
                                         AacFrameSink& sink) = 0;
};

// Everything the "audio" thread reaches the platform by; made on the
// session's thread, used only on the audio thread.
class SoundPlatform {
 public:
  virtual ~SoundPlatform() = default;
  // The thread's COM apartment; failures ignored.
  virtual void join_apartment() = 0;
  virtual Result<std::unique_ptr<SoundDevices>> open_devices() = 0;
  // The first registered AAC encoder; "no AAC encoder" when there is none.
  virtual Result<std::unique_ptr<AacTransform>> find_aac_encoder() = 0;
  // A steady instant, for the microphone's device checks.
  virtual Ticks now() = 0;
  virtual void sleep_for(Ticks wait) = 0;
};

}  // namespace orvelle::clips
