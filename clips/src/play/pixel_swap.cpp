#include "play/pixel_swap.h"

#include <cstring>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define ORVELLE_X86 1
#endif

namespace orvelle::clips {
namespace {

// B, G, R, X in memory is 0xXXRRGGBB read little-endian; R, G, B, 255 is
// 0xFFBBGGRR.
inline std::uint32_t swap_pixel(std::uint32_t p) {
  return (p & 0x0000ff00u) | (p >> 16 & 0xffu) | (p & 0xffu) << 16 | 0xff000000u;
}

void swap_plain(const std::uint8_t* source, std::uint8_t* destination, std::size_t pixels) {
  std::size_t i = 0;
  // Eight pixels a round through registers; memcpy keeps unaligned rows
  // legal and compiles to plain loads, which the compiler vectorises.
  for (; i + 8 <= pixels; i += 8) {
    std::uint32_t p[8];
    std::memcpy(p, source + i * 4, sizeof p);
    for (auto& v : p) v = swap_pixel(v);
    std::memcpy(destination + i * 4, p, sizeof p);
  }
  for (; i < pixels; ++i) {
    std::uint32_t v;
    std::memcpy(&v, source + i * 4, 4);
    v = swap_pixel(v);
    std::memcpy(destination + i * 4, &v, 4);
  }
}

#ifdef ORVELLE_X86
// Each pixel's bytes 2, 1, 0 to 0, 1, 2; the X byte is cleared (index with
// the top bit set) and then set to 255 by the or.
#define ORVELLE_SWAP_ORDER 2, 1, 0, -128, 6, 5, 4, -128, 10, 9, 8, -128, 14, 13, 12, -128

// The function-level targets keep these instructions out of every other
// function, so nothing runs them on a processor without them.
__attribute__((target("ssse3"))) void swap_ssse3(const std::uint8_t* source, std::uint8_t* destination,
                                                 std::size_t pixels) {
  const __m128i order = _mm_setr_epi8(ORVELLE_SWAP_ORDER);
  const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xff000000u));
  std::size_t i = 0;
  for (; i + 8 <= pixels; i += 8) {
    __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + i * 4));
    __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + i * 4 + 16));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(destination + i * 4), _mm_or_si128(_mm_shuffle_epi8(a, order), alpha));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(destination + i * 4 + 16),
                     _mm_or_si128(_mm_shuffle_epi8(b, order), alpha));
  }
  swap_plain(source + i * 4, destination + i * 4, pixels - i);
}

__attribute__((target("avx2"))) void swap_avx2(const std::uint8_t* source, std::uint8_t* destination,
                                               std::size_t pixels) {
  // The shuffle works within each 16-byte lane, and no pixel crosses one.
  const __m256i order = _mm256_setr_epi8(ORVELLE_SWAP_ORDER, ORVELLE_SWAP_ORDER);
  const __m256i alpha = _mm256_set1_epi32(static_cast<int>(0xff000000u));
  std::size_t i = 0;
  for (; i + 16 <= pixels; i += 16) {
    __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(source + i * 4));
    __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(source + i * 4 + 32));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(destination + i * 4),
                        _mm256_or_si256(_mm256_shuffle_epi8(a, order), alpha));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(destination + i * 4 + 32),
                        _mm256_or_si256(_mm256_shuffle_epi8(b, order), alpha));
  }
  swap_ssse3(source + i * 4, destination + i * 4, pixels - i);
}
#undef ORVELLE_SWAP_ORDER
#endif

std::vector<SwapPath> find_paths() {
  std::vector<SwapPath> paths{SwapPath::plain};
#ifdef ORVELLE_X86
  __builtin_cpu_init();
  if (__builtin_cpu_supports("ssse3")) paths.push_back(SwapPath::ssse3);
  if (__builtin_cpu_supports("avx2")) paths.push_back(SwapPath::avx2);
#endif
  return paths;
}

using Swap = void (*)(const std::uint8_t*, std::uint8_t*, std::size_t);

Swap swap_of(SwapPath path) {
  switch (path) {
#ifdef ORVELLE_X86
    case SwapPath::ssse3: return swap_ssse3;
    case SwapPath::avx2: return swap_avx2;
#endif
    default: return swap_plain;
  }
}

}  // namespace

std::span<const SwapPath> available_swap_paths() {
  static const std::vector<SwapPath> paths = find_paths();
  return paths;
}

void bgrx_to_rgba(SwapPath path, const std::uint8_t* source, std::uint8_t* destination, std::size_t pixels) {
  swap_of(path)(source, destination, pixels);
}

void bgrx_to_rgba(const std::uint8_t* source, std::uint8_t* destination, std::size_t pixels) {
  static const Swap best = swap_of(available_swap_paths().back());
  best(source, destination, pixels);
}

}  // namespace orvelle::clips
