#include "audio/audio_thread.h"

#include "audio/samples.h"
#include "common/threads.h"
#include "common/try.h"

#include <fmt/format.h>
#include <vector>

namespace orvelle::clips {
namespace {

// Objects in the order they are made; released in the reverse order.
struct SoundRoad {
  std::unique_ptr<SoundDevices> devices;
  std::unique_ptr<RenderEndpoint> render;
  std::unique_ptr<CaptureStream> loopback;
  std::unique_ptr<SilenceStream> silence;
  MixFormat format;
  AacEncoder mix;
  std::optional<AacEncoder> game;
};

Result<AacEncoder> make_encoder(SoundPlatform& platform, std::uint32_t rate) {
  ORVELLE_ASSIGN_OR_RETURN(auto transform, platform.find_aac_encoder());
  return create_aac_encoder(std::move(transform), rate);
}

Result<SoundRoad> open_road(const AudioSettings& a, SoundPlatform& platform) {
  SoundRoad r;
  ORVELLE_ASSIGN_OR_RETURN(r.devices, platform.open_devices());
  ORVELLE_ASSIGN_OR_RETURN(r.render, r.devices->default_render());
  ORVELLE_ASSIGN_OR_RETURN(auto client, r.render->activate());
  ORVELLE_ASSIGN_OR_RETURN(const auto bytes, client->mix_format());
  ORVELLE_ASSIGN_OR_RETURN(r.format, parse_mix_format(bytes));
  if (r.format.rate != 48'000 && r.format.rate != 44'100)
    return error(fail("AAC wants 44.1 or 48 kHz", hresult::kUnsupportedFormat));
  ORVELLE_ASSIGN_OR_RETURN(r.loopback, client->initialise_capture(kStreamLoopback, bytes));
  ORVELLE_ASSIGN_OR_RETURN(r.silence, r.render->open_silence(bytes));
  ORVELLE_ASSIGN_OR_RETURN(r.mix, make_encoder(platform, r.format.rate));
  if (a.mic && a.game_sound) {
    ORVELLE_ASSIGN_OR_RETURN(r.game, make_encoder(platform, r.format.rate));
  }
  return r;
}

class SoundLoop {
 public:
  SoundLoop(SoundRoad& road, const AudioSettings& a, SoundPlatform& platform, MicrophoneMixer* mixer)
      : r_(road), a_(a), platform_(platform), mixer_(mixer) {
    mix_.reserve(kBlockReserve);
    if (r_.game) game_.reserve(kBlockReserve);
  }

  // Success: the stop flag was seen.
  Status run() {
    if (stopped()) return {};
    for (;;) {
      r_.silence->top_up();
      if (mixer_) pump_microphone(*mixer_, *r_.devices, platform_.now());
      ORVELLE_TRY(drain());
      platform_.sleep_for(kIdleWait);
      if (stopped()) return {};
    }
  }

 private:
  bool stopped() const { return a_.stop_flag->load(std::memory_order_acquire); }

  // Every pending packet, blocks encoded as they fill.
  Status drain() {
    for (;;) {
      ORVELLE_ASSIGN_OR_RETURN(const std::uint32_t size, r_.loopback->next_packet_size());
      if (size == 0) return {};
      ORVELLE_ASSIGN_OR_RETURN(const CapturePacket packet, r_.loopback->get_packet());
      if (packet.frames > 0) take(packet);
      ORVELLE_TRY(r_.loopback->release_packet(packet.frames));
      if (mix_.size() >= kMinBlockValues) ORVELLE_TRY(encode_blocks());
    }
  }

  void take(const CapturePacket& packet) {
    if (mix_.empty()) block_time_ = packet.position;
    const std::size_t at = mix_.size();
    game_sound_to_stereo_i16(packet.bytes, packet.frames, r_.format, packet.silent || !a_.game_sound, mix_);
    const std::span<std::int16_t> added(mix_.data() + at, mix_.size() - at);
    // The game's own track is copied before the microphone joins the mix.
    if (r_.game) game_.insert(game_.end(), added.begin(), added.end());
    if (mixer_) mix_microphone_into(*mixer_, added);
  }

  Status encode_blocks() {
    const std::uint32_t rate = r_.format.rate;
    ORVELLE_TRY(encode_audio_block(r_.mix, mix_, block_time_, rate, *a_.ring));
    mix_.clear();
    if (r_.game) {
      ORVELLE_TRY(encode_game_audio_block(*r_.game, game_, block_time_, rate, *a_.ring));
      game_.clear();
    }
    return {};
  }

  SoundRoad& r_;
  const AudioSettings& a_;
  SoundPlatform& platform_;
  MicrophoneMixer* mixer_;
  std::vector<std::int16_t> mix_, game_;
  Ticks block_time_{0};
};

}  // namespace

void run_audio_thread(Sender<AudioStartReply> reply, AudioSettings settings, SoundPlatform& platform) {
  platform.join_apartment();
  auto road = open_road(settings, platform);
  if (!road) {
    (void)reply.send(error(road.error()));
    return;
  }
  (void)reply.send(AudioTracks{road->mix.output_type, road->game ? road->game->output_type : nullptr});

  Status ended = road->loopback->start();
  if (ended) ended = road->silence->start();
  std::unique_ptr<MicrophoneMixer> mixer;
  if (ended && settings.mic) mixer = new_mic_mixer(road->format.rate, std::move(*settings.mic), platform.now());
  if (ended) {
    SoundLoop loop(*road, settings, platform, mixer.get());
    ended = loop.run();
  }
  if (ended) {
    road->loopback->stop();
    road->silence->stop();
    return;
  }
  mixer.reset();
  // The ring gets no more sound; clips keep what came before, and once that
  // has rolled out they are saved without sound tracks. The log says why.
  emit_log(settings.output && settings.output->json, fmt::format("sound stopped: {}", ended.error().text()));
}

Result<AudioTracks> start_audio(AudioSettings settings, std::unique_ptr<SoundPlatform> platform) {
  auto [sender, receiver] = make_channel<AudioStartReply>();
  spawn_detached(
      "audio",
      [sender = std::move(sender), settings = std::move(settings), platform = std::move(platform)]() mutable {
        run_audio_thread(std::move(sender), std::move(settings), *platform);
      },
      "audio thread");
  std::optional<AudioStartReply> reply;
  if (receiver.receive(reply) != RecvStatus::value || !reply)
    return error(fail("audio thread ended", hresult::kDeviceInvalidated));
  return std::move(*reply);
}

}  // namespace orvelle::clips
