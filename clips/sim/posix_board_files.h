#pragma once
// The storyboard's files in the simulation, on this system's files, with
// the platform's codes for the platform's failures.

#include "board/board_ports.h"

namespace orvelle::clips::sim {

class PosixBoardFiles final : public BoardFiles {
 public:
  Status write_part_file(const std::string& target, std::span<const std::uint8_t> bytes) override;
  Status remove(const std::string& path) override;
  BoardSource facts(const std::string& path) override;
};

}  // namespace orvelle::clips::sim
