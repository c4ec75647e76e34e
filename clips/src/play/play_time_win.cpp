#include "play/play_time_win.h"

#include <windows.h>

#include <thread>

namespace orvelle::clips {

std::int64_t CounterPlayTime::now_100ns() {
  LARGE_INTEGER counter{}, frequency{};
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return ticks_from_counter(counter.QuadPart, frequency.QuadPart).count();
}

void CounterPlayTime::sleep(Ticks duration) { std::this_thread::sleep_for(duration); }

}  // namespace orvelle::clips
