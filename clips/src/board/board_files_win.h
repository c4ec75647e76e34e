#pragma once
// The storyboard's files through the Win32 file API (Windows only).

#include "board/board_ports.h"

namespace orvelle::clips {

class Win32BoardFiles final : public BoardFiles {
 public:
  Status write_part_file(const std::string& target, std::span<const std::uint8_t> bytes) override;
  Status remove(const std::string& path) override;
  BoardSource facts(const std::string& path) override;
};

}  // namespace orvelle::clips
