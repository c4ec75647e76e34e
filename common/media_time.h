#pragma once
// The programs' one vocabulary of time: a signed 64-bit count of 100-ns
// units. Media time (capture times, clip times, sample times and durations)
// and the system's file time (since 1601-01-01 UTC) are both Ticks; the
// conversions widen before they multiply, so ten minutes at any counter
// frequency cannot overflow.

#include <chrono>
#include <cstdint>

namespace orvelle {

using Ticks = std::chrono::duration<std::int64_t, std::ratio<1, 10'000'000>>;

inline constexpr Ticks kTicksPerSecond = std::chrono::seconds(1);
inline constexpr Ticks kTicksPerMillisecond = std::chrono::milliseconds(1);
// 1970-01-01 in file time.
inline constexpr Ticks kUnixEpochInFileTime{116'444'736'000'000'000};

// A performance-counter reading as media time: counter × 10^7 / frequency,
// with a 128-bit intermediate. A frequency of 0 gives 0.
constexpr Ticks ticks_from_counter(std::int64_t counter, std::int64_t frequency) {
  if (frequency <= 0) return Ticks{0};
  return Ticks{static_cast<std::int64_t>(static_cast<__int128>(counter) * 10'000'000 / frequency)};
}
// Media time as performance-counter units, rounded down, with the same
// widening.
constexpr std::int64_t counter_from_ticks(Ticks t, std::int64_t frequency) {
  return static_cast<std::int64_t>(static_cast<__int128>(t.count()) * frequency / 10'000'000);
}

// Whole milliseconds, cut toward zero.
constexpr std::int64_t whole_milliseconds(Ticks t) { return t.count() / 10'000; }
constexpr double seconds_of(Ticks t) { return static_cast<double>(t.count()) / 1e7; }

// Milliseconds since 1970 of a file time; 0 for a time before 1970.
constexpr std::int64_t unix_ms_from_file_time(Ticks file_time) {
  return file_time > kUnixEpochInFileTime ? whole_milliseconds(file_time - kUnixEpochInFileTime) : 0;
}

}  // namespace orvelle
