#pragma once
// One row of pixels, B, G, R, X to R, G, B, 255: a byte shuffle, run with
// the widest shuffle the processor has (AVX2, SSSE3), chosen once at run
// time so the programs still run on any x86-64 processor. Every path gives
// the same bytes.

#include <cstddef>
#include <cstdint>
#include <span>

namespace orvelle::clips {

void bgrx_to_rgba(const std::uint8_t* source, std::uint8_t* destination, std::size_t pixels);

// The paths by name, for the tests that hold them to the plain one and the
// benchmarks.
enum class SwapPath { plain, ssse3, avx2 };
// The paths this processor runs, the plain one first.
std::span<const SwapPath> available_swap_paths();
void bgrx_to_rgba(SwapPath path, const std::uint8_t* source, std::uint8_t* destination,
                  std::size_t pixels);

}  // namespace orvelle::clips
