#include "record/saves.h"

#include <algorithm>

namespace orvelle::clips {
namespace {

constexpr std::uint32_t kMaxMicVolume = 200;

void refuse(const Recording& recording, std::string id, std::string_view why) {
  emit_event(recording.output->json,
             Json{{"event", "saveFailed"}, {"id", std::move(id)}, {"message", why}});
}

}  // namespace

void request_save(SaveCommand command, const SaveSource& source) {
  const Recording& recording = source.recording;
  if (recording.saving_flag->exchange(true)) {
    refuse(recording, std::move(command.id), "a clip is already being saved");
    return;
  }
  auto snapshot = snapshot_ring(*recording.ring);
  if (!snapshot) {
    recording.saving_flag->store(false);
    refuse(recording, std::move(command.id), "nothing recorded yet");
    return;
  }
  SaveJob job;
  job.path = std::move(command.path);
  job.sequence_header = std::move(snapshot->sequence_header);
  job.width = source.capture.frame_size().width;
  job.height = source.capture.frame_size().height;
  job.fps = source.fps;
  job.bitrate = source.capture.bitrate();
  job.groups = std::move(snapshot->groups);
  job.gaps = std::move(snapshot->gaps);
  job.id = std::move(command.id);
  job.finish = std::move(command.finish);
  job.start_wall_ms = snapshot->start_wall_ms;
  job.output = recording.output;
  job.saving_flag = recording.saving_flag;
  job.mix_sound = source.sound.mix;
  job.game_sound = source.sound.game;
  source.launcher.launch(std::move(job));
}

void set_seconds(const Recording& recording, std::uint32_t seconds) {
  set_ring_seconds(*recording.ring, seconds);
}

void set_mic_volume(const Recording& recording, std::uint32_t volume) {
  recording.mic_volume->store(std::min(volume, kMaxMicVolume));
}

}  // namespace orvelle::clips
