#include "play/frames_writer.h"

#include "common/try.h"

#include <cstring>

namespace orvelle::clips {

FramesWriter::FramesWriter(FramesFile& file, std::uint32_t width, std::uint32_t height,
                           FramesSize size)
    : file_(file), bytes_(file.bytes()), width_(width), height_(height), size_(size) {
  write_frames_header(bytes_, width, height, size.slot_bytes);
}

Status FramesWriter::publish_frame(DecodedPicture& picture, const VideoGeometry& geometry,
                                   std::int64_t time, std::uint32_t generation) {
  ORVELLE_ASSIGN_OR_RETURN(LockedPicture locked, picture.lock());
  std::uint8_t* slot = bytes_.data() + kFramesHeaderBytes + std::size_t{write_slot_} * size_.slot_bytes;
  Status copied = copy_picture(locked, geometry, slot, width_, height_);
  ORVELLE_TRY(picture.unlock());
  ORVELLE_TRY(copied);
  std::uint8_t* record = bytes_.data() + kSlotRecordsOffset + write_slot_ * kSlotRecordBytes;
  double seconds = static_cast<double>(time) / 1e7;
  std::memcpy(record, &seconds, 8);
  std::memcpy(record + 8, &generation, 4);
  std::uint32_t before = exchange_published_word(bytes_, write_slot_ | kFreshPicture);
  write_slot_ = (before & 0xff) % kFrameSlots;
  file_.published();
  return {};
}

}  // namespace orvelle::clips
