#include "capture/capture_session_win.h"

#include "capture/capture_plan.h"
#include "capture/convert_win.h"
#include "capture/window_geometry_win.h"
#include "common/win/async_wait.h"
#include "common/try.h"
#include "common/win/checked.h"
#include "common/win/hstring.h"
#include "encode/h264_encoder_win.h"

#include <roapi.h>

#include <optional>

namespace orvelle::clips {
namespace {

using win::checked;
using win::ComPtr;
using win::made;

// The access request may show the user nothing, or wait on the system; the
// capture does not wait on it longer than this.
constexpr DWORD kAccessRequestWaitMs = 10'000;
constexpr std::int32_t kPoolBuffers = 2;

// A thread outside any apartment joins the process's multithreaded one,
// once, so activation works from it.
void join_multithreaded_apartment() {
  static const bool joined = [] {
    CO_MTA_USAGE_COOKIE cookie = nullptr;
    return SUCCEEDED(CoIncrementMTAUsage(&cookie));
  }();
  (void)joined;
}

template <typename Factory>
Result<ComPtr<Factory>> activation_factory(const wchar_t* class_name) {
  auto name = win::HString::make(class_name);
  if (!name) return error(name.error());
  ComPtr<Factory> factory;
  HRESULT hr = RoGetActivationFactory(name->get(), __uuidof(Factory), factory.put_void());
  if (hr == CO_E_NOTINITIALIZED) {
    join_multithreaded_apartment();
    hr = RoGetActivationFactory(name->get(), __uuidof(Factory), factory.put_void());
  }
  ORVELLE_TRY(made(hr, factory));
  return factory;
}

Result<ComPtr<win::IGraphicsCaptureItem>> capture_item(HWND window) {
  auto interop = activation_factory<win::IGraphicsCaptureItemInterop>(win::kGraphicsCaptureItemClass);
  if (!interop) return error(interop.error());
  ComPtr<win::IGraphicsCaptureItem> item;
  ORVELLE_TRY(made((*interop)->CreateForWindow(window, __uuidof(win::IGraphicsCaptureItem),
                                               item.put_void()),
                   item));
  return item;
}

// Negative sides as 0; the plan raises them to 1.
Size item_size(win::IGraphicsCaptureItem* item) {
  win::SizeInt32 s{};
  if (FAILED(item->get_Size(&s))) return {};
  return {static_cast<std::uint32_t>(std::max(s.Width, 0)),
          static_cast<std::uint32_t>(std::max(s.Height, 0))};
}

// Fetched once per process and kept; a failed fetch is tried again next time.
// Kept past the end of main on purpose: released by a static destructor, it
// could outlive the apartment it came from.
Result<ComPtr<win::IDirect3D11CaptureFramePoolStatics2>> frame_pool_statics() {
  static std::mutex mutex;
  static auto* kept = new ComPtr<win::IDirect3D11CaptureFramePoolStatics2>();
  std::lock_guard lock(mutex);
  if (!*kept) {
    auto statics = activation_factory<win::IDirect3D11CaptureFramePoolStatics2>(win::kFramePoolClass);
    if (!statics) return error(statics.error());
    *kept = *statics;
  }
  return *kept;
}

// The borderless capture needs the user's consent on some systems; its
// outcome changes nothing here, the border setting below is tried either way.
void request_borderless_access() {
  auto statics =
      activation_factory<win::IGraphicsCaptureAccessStatics>(win::kGraphicsCaptureAccessClass);
  if (!statics) return;
  ComPtr<win::IAccessStatusOperation> operation;
  if (FAILED((*statics)->RequestAccessAsync(win::GraphicsCaptureAccessKind::Borderless,
                                            operation.put())) ||
      !operation)
    return;
  win::wait_for_completion<win::IAccessStatusOperation, win::IAccessStatusCompletedHandler>(
      operation.get(), kAccessRequestWaitMs);
}

// Each setting through its own interface, which older systems lack; every
// failure leaves the system's default.
void configure_session(const ComPtr<win::IGraphicsCaptureSession>& session, Ticks interval) {
  if (ComPtr<win::IGraphicsCaptureSession2> s2; SUCCEEDED(session.as(s2)) && s2)
    s2->put_IsCursorCaptureEnabled(TRUE);
  request_borderless_access();
  if (ComPtr<win::IGraphicsCaptureSession3> s3; SUCCEEDED(session.as(s3)) && s3)
    s3->put_IsBorderRequired(FALSE);
  if (ComPtr<win::IGraphicsCaptureSession6> s6; SUCCEEDED(session.as(s6)) && s6)
    s6->put_IncludeSecondaryWindows(FALSE);
  if (ComPtr<win::IGraphicsCaptureSession5> s5; SUCCEEDED(session.as(s5)) && s5)
    s5->put_MinUpdateInterval(win::TimeSpan{interval.count()});
}

void close_object(IUnknown* object) {
  ComPtr<win::IClosable> closable;
  if (object && SUCCEEDED(ComPtr<IUnknown>::share(object).as(closable)) && closable)
    closable->Close();
}

}  // namespace

void CaptureRun::close() {
  std::call_once(closed_, [this] {
    stop->store(true, std::memory_order_release);
    close_object(session.get());
    close_object(pool.get());
    encoder.stop(kEncoderJoinLimit);
    handler.reset();
    session.reset();
    pool.reset();
    item.reset();
  });
}

CaptureActivation system_capture_activation() { return {capture_item, frame_pool_statics}; }

Result<CaptureSession> start_capture(const RecorderOptions& options, WindowHandle window,
                                     const GpuAdapter& gpu, std::shared_ptr<Ring> ring,
                                     std::shared_ptr<CaptureStats> stats, SharedOutput output) {
  return start_capture(system_capture_activation(), options, window, gpu, std::move(ring),
                       std::move(stats), std::move(output));
}

Result<CaptureSession> start_capture(const CaptureActivation& activation,
                                     const RecorderOptions& options, WindowHandle window,
                                     const GpuAdapter& gpu, std::shared_ptr<Ring> ring,
                                     std::shared_ptr<CaptureStats> stats, SharedOutput output) {
  HWND hwnd = static_cast<HWND>(window);
  auto run = std::make_shared<CaptureRun>();  // closes what was made should a step fail
  auto item = activation.item(hwnd);
  if (!item) return error(item.error());
  run->item = *item;

  // The item's size is read once: the converter, the expected frame size and
  // the frame pool all use it.
  const std::uint32_t refresh_hz = monitor_refresh_rate(hwnd);
  auto plan = plan_capture(options, window_geometry(hwnd, item_size(run->item.get())), refresh_hz);
  if (!plan) return error(plan.error());

  CaptureSession session;
  session.codec = kNoCodec;
  session.width = plan->encode.width;
  session.height = plan->encode.height;
  session.bitrate = plan->bitrate;

  std::optional<ChosenEncoder> encoder;
  if (stage_has_encoder(options.stage)) {
    auto chosen = choose_h264_encoder(
        gpu.device.get(), EncoderRequest{gpu.description, gpu.vendor, plan->encode,
                                         plan->bitrate, options.fps, options.input});
    if (!chosen) return error(chosen.error());
    encoder = std::move(*chosen);
    session.codec = encoder->name;
  }

  std::unique_ptr<FrameConversion> converter;
  if (stage_has_converter(options.stage)) {
    std::optional<std::string_view> encoder_input;
    if (encoder) encoder_input = encoder->input.name;
    auto made_converter = create_frame_converter(
        gpu.device.get(), gpu.context.get(),
        converter_setup(*plan, options.fps, converter_mode(options.input, encoder_input)));
    if (!made_converter) return error(made_converter.error());
    converter = gpu_conversion(std::move(*made_converter));
  }

  if (encoder) emit_log(output->json, encoder_input_line(encoder->input));
  emit_log(output->json, capturing_line(*plan, session.codec, options.fps));
  auto [sender, receiver] = make_frame_channel();
  emit_log(output->json, interval_line(refresh_hz, plan->interval));

  auto statics = activation.frame_pools();
  if (!statics) return error(statics.error());
  const win::SizeInt32 pool_size{static_cast<std::int32_t>(plan->area.item.width),
                                 static_cast<std::int32_t>(plan->area.item.height)};
  ORVELLE_TRY(made((*statics)->CreateFreeThreaded(gpu.capture_device.get(),
                                                  win::DirectXPixelFormat::B8G8R8A8UIntNormalized,
                                                  kPoolBuffers, pool_size, run->pool.put()),
                   run->pool));

  auto in_flight = std::make_shared<InFlight>();  // this session's own count
  run->handler = FrameArrivedHandler::make(FrameHandlerSetup{
      .sender = std::move(sender), .stats = stats, .in_flight = in_flight, .ring = ring,
      .interval = plan->interval, .window = window, .converter = std::move(converter),
      .expected = plan->area.item, .send = encoder.has_value()});
  EventRegistrationToken token{};
  ORVELLE_TRY(checked(run->pool->add_FrameArrived(run->handler.get(), &token)));

  ORVELLE_TRY(made(run->pool->CreateCaptureSession(run->item.get(), run->session.put()),
                   run->session));
  configure_session(run->session, plan->interval);
  ORVELLE_TRY(checked(run->session->StartCapture()));

  if (encoder)
    run->encoder = spawn_encoder_thread(
        {encoder->transform, std::move(receiver), run->stop, ring, stats, in_flight, output});
  session.in_flight = in_flight;
  session.run = std::move(run);
  return session;
}

void close_capture_session(CaptureSession& session) {
  if (session.run) session.run->close();
}

}  // namespace orvelle::clips
