#include "audio/mic_list.h"

#include "common/console.h"
#include "common/json_write.h"
#include "common/try.h"

namespace orvelle::clips {

Result<std::string> microphone_list_line(SoundDevices& devices) {
  ORVELLE_ASSIGN_OR_RETURN(const auto listed, devices.active_microphones());
  Json mics = Json::array();
  for (const ListedMicrophone& m : listed) mics.push_back(Json{{"id", m.id}, {"name", m.name.value_or(m.id)}});
  const auto default_id = devices.default_capture_endpoint_id();
  return to_json_text(Json{{"default", default_id ? Json(*default_id) : Json(nullptr)}, {"mics", std::move(mics)}});
}

int list_microphones(const std::function<Result<std::unique_ptr<SoundDevices>>()>& open_devices) {
  auto line = [&]() -> Result<std::string> {
    ORVELLE_ASSIGN_OR_RETURN(auto devices, open_devices());
    return microphone_list_line(*devices);
  }();
  if (!line) {
    write_line(Stream::out, to_json_text(Json{{"error", line.error().text()}}));
    return 1;
  }
  write_line(Stream::out, *line);
  return 0;
}

}  // namespace orvelle::clips
