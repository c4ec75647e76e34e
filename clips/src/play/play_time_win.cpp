#include "play/play_time_win.h"

#include "common/win/owner.h"

#include <windows.h>

#include <timeapi.h>

#include <thread>

namespace orvelle::clips {
namespace {

// Not in every SDK's headers: the flag of Windows 10 version 1803 on, which
// older systems refuse with ERROR_INVALID_PARAMETER.
constexpr DWORD kHighResolution = 0x00000002;  // CREATE_WAITABLE_TIMER_HIGH_RESOLUTION

win::Handle high_resolution_timer() {
  return win::Handle(CreateWaitableTimerExW(nullptr, nullptr, kHighResolution, TIMER_ALL_ACCESS));
}

}  // namespace

CounterPlayTime::CounterPlayTime() {
  waits_ = high_resolution_timer() ? Waits::high_resolution_timer : Waits::one_ms_period;
  if (waits_ == Waits::one_ms_period) timeBeginPeriod(1);
}

CounterPlayTime::~CounterPlayTime() {
  if (waits_ == Waits::one_ms_period) timeEndPeriod(1);
}

std::int64_t CounterPlayTime::now_100ns() {
  LARGE_INTEGER counter{}, frequency{};
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return ticks_from_counter(counter.QuadPart, frequency.QuadPart).count();
}

void CounterPlayTime::sleep(Ticks duration) {
  if (duration <= Ticks::zero()) return;
  if (waits_ == Waits::high_resolution_timer) {
    // A timer is set by one thread at a time, so each thread keeps its own.
    thread_local win::Handle timer = high_resolution_timer();
    LARGE_INTEGER due{};
    due.QuadPart = -duration.count();  // negative: relative, in 100 ns
    if (timer && SetWaitableTimer(timer.get(), &due, 0, nullptr, nullptr, FALSE) &&
        WaitForSingleObject(timer.get(), INFINITE) == WAIT_OBJECT_0)
      return;
  }
  // With the 1 ms period in force; also where a thread's timer failed.
  std::this_thread::sleep_for(duration);
}

}  // namespace orvelle::clips
