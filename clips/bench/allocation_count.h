#pragma once
// What the benchmarks allocate: the program's operator new counts the
// allocations and their bytes while counting is on (allocation_count.cpp).

#include <atomic>
#include <cstdint>

namespace orvelle::bench {

struct Allocations {
  std::uint64_t count = 0, bytes = 0;
};

// Counts from now on, from zero.
void start_counting();
// Stops counting and says what was allocated since start_counting.
Allocations stop_counting();

}  // namespace orvelle::bench
