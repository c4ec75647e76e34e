#pragma once
// Bytes allocated while counting is on: what an operation copies, shown
// beside what it handles.

#include <cstdint>

namespace orvelle::clips::bench {

void count_allocations(bool on);
std::uint64_t allocated_bytes();
std::uint64_t allocation_count();
void reset_allocations();

}  // namespace orvelle::clips::bench
