#include "mp4_marking.h"

namespace orvelle::clips {

Status mark_alternate_sound_tracks(std::string_view path) {
  auto file = open_file_for_update(path);
  if (!file) return error(file.error());
  return mark_alternate_sound_tracks(**file);
}

}  // namespace orvelle::clips
