#include "allocation_count.h"

#include <cstdlib>
#include <new>

namespace orvelle::bench {
namespace {

std::atomic<bool> counting{false};
std::atomic<std::uint64_t> count{0}, bytes{0};

}  // namespace

void start_counting() {
  count = 0;
  bytes = 0;
  counting = true;
}

Allocations stop_counting() {
  counting = false;
  return {count.load(), bytes.load()};
}

}  // namespace orvelle::bench

// The replacement pair is malloc and free throughout; GCC cannot see that
// through inlining.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t n) {
  using namespace orvelle::bench;
  if (counting.load(std::memory_order_relaxed)) {
    count.fetch_add(1, std::memory_order_relaxed);
    bytes.fetch_add(n, std::memory_order_relaxed);
  }
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
