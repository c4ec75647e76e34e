#include "sim/frame_source.h"

#include <new>
#include <pthread.h>

namespace orvelle::clips::sim {
namespace {

constexpr std::size_t kRowAlign = 64;

}  // namespace

void BgraPicture::Free::operator()(std::uint8_t* p) const {
  ::operator delete[](p, std::align_val_t{kRowAlign});
}

BgraPicture::BgraPicture(Size size)
    : size_(size),
      stride_((std::size_t{size.width} * 4 + kRowAlign - 1) / kRowAlign * kRowAlign),
      pixels_(static_cast<std::uint8_t*>(
          ::operator new[](stride_ * size.height, std::align_val_t{kRowAlign}))) {}

FrameSource::FrameSource(const ScriptedWindow& window, std::uint32_t fps, Ticks start)
    : window_(window), fps_(fps == 0 ? 1 : fps), start_(start) {}

Ticks FrameSource::present_time(std::uint64_t k) const {
  return start_ + window_.script().appear +
         Ticks{static_cast<std::int64_t>(k * std::uint64_t{10'000'000} / fps_)};
}

std::uint64_t FrameSource::first_at_or_after(Ticks t) const {
  const Ticks since = t - start_ - window_.script().appear;
  if (since.count() <= 0) return 0;
  // A guess from the rate that is never too far, then forward to the first
  // picture that is not earlier.
  std::uint64_t k = static_cast<std::uint64_t>(since.count()) * fps_ / 10'000'000;
  while (present_time(k) < t) ++k;
  return k;
}

bool FrameSource::closed_by(Ticks t) const {
  const Ticks since = t - start_;
  return since >= window_.script().appear && !window_.at(since).exists;
}

std::shared_ptr<BgraPicture> FrameSource::free_buffer(Size size) {
  for (auto& buffer : pool_) {
    // Only this thread hands buffers out, so a count of one cannot grow
    // behind its back.
    if (buffer && buffer.use_count() > 1) continue;
    if (!buffer || buffer->size() != size) buffer = std::make_shared<BgraPicture>(size);
    return buffer;
  }
  return nullptr;
}

std::optional<BgraFrame> FrameSource::present(Ticks t) {
  const WindowState state = window_.at(t - start_);
  if (!state.exists || state.minimised) return std::nullopt;
  const Size item = state.item();
  auto buffer = free_buffer(item);
  if (!buffer) {
    ++pool_misses_;
    return std::nullopt;
  }
  const Rect area{state.client_area.left - state.frame.left, state.client_area.top - state.frame.top,
                  state.client_area.right - state.frame.left,
                  state.client_area.bottom - state.frame.top};
  paint_time_code(time_code(t - start_), buffer->view(), area);
  return BgraFrame{t, item, std::move(buffer)};
}

FramePump::FramePump(FrameSource& source, SimClock& clock, Sink sink)
    : source_(source), clock_(clock), sink_(std::move(sink)),
      thread_([this](std::stop_token stop) { run(stop); }) {}

FramePump::~FramePump() {
  thread_.request_stop();
  if (thread_.joinable()) thread_.join();
}

void FramePump::run(std::stop_token stop) {
  pthread_setname_np(pthread_self(), "game");
  std::uint64_t k = source_.first_at_or_after(clock_.now());
  while (true) {
    const Ticks t = source_.present_time(k);
    if (!clock_.sleep_until(t, stop)) return;
    if (source_.closed_by(t)) return;
    if (clock_.now() - t > source_.present_time(k + 1) - t) {
      k = source_.first_at_or_after(clock_.now());
      continue;
    }
    if (auto frame = source_.present(t)) sink_(std::move(*frame));
    ++k;
  }
}

}  // namespace orvelle::clips::sim
