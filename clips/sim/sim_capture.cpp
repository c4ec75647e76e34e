#include "sim/sim_capture.h"

#include "capture/capture_plan.h"
#include "capture/frame_arrival.h"
#include "encode/encoder_choice.h"
#include "encode/encoder_thread.h"
#include "sim/ffmpeg/sws_converter.h"
#include "sim/ffmpeg/textures.h"
#include "sim/ffmpeg/x264_transform.h"
#include "sim/frame_source.h"

#include <mutex>
#include <optional>

namespace orvelle::clips::sim {
namespace {

// What the simulation's encoder takes: libswscale makes NV12 only.
constexpr Guid kOffered[] = {subtype::kNv12};

class PresentedFrame final : public ArrivedFrame {
 public:
  explicit PresentedFrame(BgraFrame& frame) : frame_(frame) {}
  std::optional<Ticks> time() override { return frame_.time; }
  Size content_size() override { return frame_.content; }
  Result<FrameTexture> texture() override { return captured_texture(frame_.picture); }

 private:
  BgraFrame& frame_;
};

class SwsConversion final : public FrameConversion {
 public:
  explicit SwsConversion(std::unique_ptr<SwsConverter> converter) : converter_(std::move(converter)) {}
  Result<FrameTexture> convert(const FrameTexture& captured) override {
    auto picture = converter_->convert(captured_picture(captured));
    if (!picture) return error(picture.error());
    return converted_texture(std::move(*picture));
  }

 private:
  std::unique_ptr<SwsConverter> converter_;
};

// One running capture. Closing stops the game's pictures first, so no frame
// reaches the handler after it, then the encoder thread.
class SimCapture final : public RunningCapture {
 public:
  ~SimCapture() override { close(); }
  Size frame_size() const override { return size; }
  std::uint32_t bitrate() const override { return bits; }
  std::string codec() const override { return codec_name; }
  std::uint64_t in_flight() const override { return flight->value(); }
  void close() override {
    std::call_once(closed_, [this] {
      stop->store(true, std::memory_order_release);
      pump.reset();
      encoder.stop();
    });
  }

  Size size;
  std::uint32_t bits = 0;
  std::string codec_name{kNoCodec};
  std::shared_ptr<InFlight> flight = std::make_shared<InFlight>();
  StopFlag stop = std::make_shared<std::atomic<bool>>(false);
  std::unique_ptr<FrameSource> source;
  std::unique_ptr<FrameArrival> arrival;
  std::unique_ptr<FramePump> pump;
  EncoderThread encoder;

 private:
  std::once_flag closed_;
};

WindowGeometry geometry_of(const WindowState& window) {
  return {window.item(), window.frame,
          Rect{0, 0, static_cast<std::int32_t>(window.client.width),
               static_cast<std::int32_t>(window.client.height)},
          Point{window.client_area.left, window.client_area.top}};
}

}  // namespace

Result<std::unique_ptr<RunningCapture>> SimCaptureFactory::start() {
  const SimCaptureSetup& s = setup_;
  const RecorderOptions& options = s.options;
  const WindowState window = s.windows.state(s.windows.handle());
  if (!window.exists) return error(fail("the game window is gone", hresult::kInvalidArg));

  // The window is measured once: the plan and the frame handler's expected
  // size agree.
  auto plan = plan_capture(options, geometry_of(window), s.scenario.window.refresh);
  if (!plan) return error(plan.error());

  auto capture = std::make_unique<SimCapture>();
  capture->size = plan->encode;
  capture->bits = plan->bitrate;

  std::optional<InputChoice> input;
  std::unique_ptr<X264Encoder> encoder;
  if (stage_has_encoder(options.stage)) {
    auto chosen = choose_input(options.input, kOffered);
    if (!chosen) return error(chosen.error());
    input = *chosen;
    auto made = X264Encoder::create({plan->encode, options.fps, plan->bitrate});
    if (!made) return error(made.error());
    encoder = std::move(*made);
    capture->codec_name = kSimCodec;
  }

  std::unique_ptr<FrameConversion> converter;
  if (stage_has_converter(options.stage)) {
    std::optional<std::string_view> encoder_input;
    if (input) encoder_input = input->name;
    auto made = SwsConverter::create(
        converter_setup(*plan, options.fps, converter_mode(options.input, encoder_input)));
    if (!made) return error(made.error());
    converter = std::make_unique<SwsConversion>(std::move(*made));
  }

  if (input) emit_log(s.output->json, encoder_input_line(*input));
  emit_log(s.output->json, capturing_line(*plan, capture->codec_name, options.fps));
  auto [sender, receiver] = make_frame_channel();
  emit_log(s.output->json, interval_line(s.scenario.window.refresh, plan->interval));

  capture->arrival = std::make_unique<FrameArrival>(FrameHandlerSetup{
      .sender = std::move(sender), .stats = s.stats, .in_flight = capture->flight, .ring = s.ring,
      .interval = plan->interval, .window = s.windows.handle(), .converter = std::move(converter),
      .expected = plan->area.item, .send = encoder != nullptr});
  if (encoder)
    capture->encoder = spawn_encoder_thread({std::make_shared<X264Transform>(std::move(encoder)),
                                             std::move(receiver), capture->stop, s.ring, s.stats,
                                             capture->flight, s.output});
  capture->source = std::make_unique<FrameSource>(s.window, s.scenario.fps, s.start);
  capture->pump = std::make_unique<FramePump>(
      *capture->source, s.clock, [arrival = capture->arrival.get()](BgraFrame frame) {
        PresentedFrame presented(frame);
        on_frame_arrived(*arrival, presented);
      });
  return std::unique_ptr<RunningCapture>(std::move(capture));
}

}  // namespace orvelle::clips::sim
