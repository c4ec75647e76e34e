#include "clips/bench/allocations.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> counting{false};
std::atomic<std::uint64_t> allocated{0};
std::atomic<std::uint64_t> allocations{0};

}  // namespace

// The replacement pair is malloc and free throughout; GCC cannot see that
// through inlining.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t n) {
  if (counting.load(std::memory_order_relaxed)) {
    allocated.fetch_add(n, std::memory_order_relaxed);
    allocations.fetch_add(1, std::memory_order_relaxed);
  }
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace orvelle::clips::bench {

void count_allocations(bool on) { counting.store(on); }
std::uint64_t allocated_bytes() { return allocated.load(); }
std::uint64_t allocation_count() { return allocations.load(); }
void reset_allocations() {
  allocated.store(0);
  allocations.store(0);
}

}  // namespace orvelle::clips::bench
