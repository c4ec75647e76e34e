#pragma once
// The microphone list of --list-mics: the active capture endpoints in the
// system's order and the default one's id, as the one JSON line the client
// reads, or the "error" line.

#include "audio/sound_ports.h"

#include <functional>
#include <memory>
#include <string>

namespace orvelle::clips {

// {"default": id or null, "mics": [{"id", "name"}, ...]}; a name that cannot
// be read is the id again.
Result<std::string> microphone_list_line(SoundDevices& devices);

// The mode: prints the list, or {"error": ...} with exit code 1, on standard
// output whatever --json says.
int list_microphones(const std::function<Result<std::unique_ptr<SoundDevices>>()>& open_devices);

}  // namespace orvelle::clips
