// A capture session's parts under Wine: the window's facts from a real
// window, and a run assembled from the real frame handler, the real
// encoder thread and the stand-in transform over fakes of the pool and the
// session, which Wine lacks. Windows.Graphics.Capture itself is not there,
// so a real start can only fail cleanly.

#include "capture/capture_session_win.h"

#include "capture/convert_win.h"
#include "capture/window_geometry_win.h"
#include "common/console.h"
#include "encode/h264_encoder_win.h"
#include "support/deadline.h"
#include "win/d3d_device.h"
#include "win/fake_capture.h"
#include "win/media_foundation_up.h"
#include "win/stand_in_h264.h"

#include <gtest/gtest.h>

#include <thread>

namespace orvelle::clips {
namespace {

using namespace std::chrono_literals;
using win::ComPtr;

constexpr std::uint32_t kWidth = 320, kHeight = 180;
constexpr Ticks kInterval{124'999};

class CaptureRunTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { start_media_foundation(); }

  void SetUp() override {
    ASSERT_TRUE(d3d.device) << "no Direct3D 11 device";
    set_line_writer([](Stream, std::string_view) {});
    stand_in = win::make_com<fake::StandInEncoder>(std::vector<fake::AccessUnit>(
        1000, fake::AccessUnit{{0, 0, 0, 1, 0x09, 0xF0, 0, 0, 1, 0x41, 0x9A}, false}));
    auto manager = make_device_manager(d3d.device.get());
    ASSERT_TRUE(manager);
    EncoderRequest request{"llvmpipe", 0, {kWidth, kHeight}, 1'500'000, 60, InputFormat::Bgra};
    auto chosen = choose_from({win::make_com<fake::StandInActivate>(stand_in, L"Stand-in", nullptr)},
                              request, manager->get());
    ASSERT_TRUE(chosen) << chosen.error().text();

    ConverterSetup cs;
    cs.item = cs.encode = {kWidth, kHeight};
    cs.mode = ConvertMode::copy;
    auto converter = create_frame_converter(d3d.device.get(), d3d.context.get(), cs);
    ASSERT_TRUE(converter);

    auto [tx, rx] = make_frame_channel();
    auto in_flight = std::make_shared<InFlight>();
    // Assembled as the capture start assembles it.
    run = std::make_shared<CaptureRun>();
    run->pool = pool;
    run->handler = FrameArrivedHandler::make(FrameHandlerSetup{
        .sender = std::move(tx), .stats = stats, .in_flight = in_flight, .ring = ring,
        .interval = kInterval, .converter = gpu_conversion(std::move(*converter)),
        .expected = {kWidth, kHeight}, .send = true});
    EventRegistrationToken token;
    ASSERT_EQ(pool->add_FrameArrived(run->handler.get(), &token), S_OK);
    ASSERT_EQ(pool->CreateCaptureSession(nullptr, run->session.put()), S_OK);
    run->encoder = spawn_encoder_thread({chosen->transform, std::move(rx), run->stop, ring, stats,
                                         in_flight, std::make_shared<OutputSettings>()});
    session.codec = chosen->name;
    session.in_flight = in_flight;
    session.run = run;
    texture = pattern_texture(d3d.device.get(), kWidth, kHeight);
  }
  void TearDown() override { set_line_writer(nullptr); }

  // One frame through the pool's delegate, as a capture worker thread does it.
  void arrive(int n) {
    pool->queue(win::make_com<fake::Frame>(texture, 10'000'000'000 + n * kInterval.count(),
                                        win::SizeInt32{kWidth, kHeight}));
    run->handler->Invoke(pool.get(), nullptr);
  }

  Deadline deadline{120s, "capture run under Wine"};
  D3DDevice d3d = make_d3d_device();
  fake::CloseLog closed = std::make_shared<std::vector<std::string>>();
  ComPtr<fake::FramePool> pool = win::make_com<fake::FramePool>(closed);
  ComPtr<fake::StandInEncoder> stand_in;
  ComPtr<ID3D11Texture2D> texture;
  std::shared_ptr<CaptureStats> stats = std::make_shared<CaptureStats>();
  std::shared_ptr<Ring> ring = std::make_shared<Ring>(
      60, RingPlatform{[] { return kUnixEpochInFileTime; }, [](WindowHandle) { return false; }});
  std::shared_ptr<CaptureRun> run;
  CaptureSession session;
};

TEST_F(CaptureRunTest, ClosingEndsTheSessionThenThePoolThenTheEncoderOnce) {
  for (int n = 0; n < 5; ++n) arrive(n);
  while (reading(stats->packets) < 1) std::this_thread::sleep_for(1ms);
  // Two threads close at once; one does the work, and both return.
  std::thread other([&] { close_capture_session(session); });
  close_capture_session(session);
  other.join();
  EXPECT_EQ(*closed, (std::vector<std::string>{"session", "pool"}));
  EXPECT_TRUE(stand_in->record().shut_down);
  EXPECT_FALSE(run->pool);
  EXPECT_FALSE(run->encoder);
  close_capture_session(session);  // once only
  EXPECT_EQ(closed->size(), 2u);
}

TEST_F(CaptureRunTest, ClosingReturnsThoughTheEncoderAnswersNothing) {
  stand_in->answer(false);
  stand_in->ignore_shut_down = true;
  arrive(0);
  auto began = std::chrono::steady_clock::now();
  close_capture_session(session);
  EXPECT_LT(std::chrono::steady_clock::now() - began, kEncoderJoinLimit + 1s);
  EXPECT_EQ(*closed, (std::vector<std::string>{"session", "pool"}));
  stand_in->ignore_shut_down = false;  // the left thread may end now
  stand_in->Shutdown();
}

TEST_F(CaptureRunTest, AStuckEncoderCostsDroppedFramesNeverAWaitingCaptureThread) {
  stand_in->answer(false);  // asks for nothing, emits nothing
  auto slowest = 0ms;
  for (int n = 0; n < 100; ++n) {
    auto began = std::chrono::steady_clock::now();
    arrive(n);
    slowest = std::max(slowest, std::chrono::duration_cast<std::chrono::milliseconds>(
                                    std::chrono::steady_clock::now() - began));
  }
  EXPECT_LT(slowest, 200ms);
  EXPECT_EQ(reading(stats->captured), 100u);
  EXPECT_LE(reading(stats->sent), kFrameChannelCapacity + 1);
  EXPECT_EQ(reading(stats->sent) + reading(stats->busy_drop), 100u);
  close_capture_session(session);
}

// A framed window of our own to capture, on the test's thread.
class TestWindow {
 public:
  TestWindow(int client_width, int client_height) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"OrvelleCaptureTest";
    RegisterClassW(&wc);
    RECT r = {0, 0, client_width, client_height};
    AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
    window_ = CreateWindowExW(0, wc.lpszClassName, L"capture", WS_OVERLAPPEDWINDOW, 50, 60,
                              r.right - r.left, r.bottom - r.top, nullptr, nullptr, wc.hInstance,
                              nullptr);
    ShowWindow(window_, SW_SHOWNOACTIVATE);
  }
  ~TestWindow() { DestroyWindow(window_); }
  HWND get() const { return window_; }
  // Its frame bounds, as the capture item measures the window.
  win::SizeInt32 frame_size() const {
    WindowGeometry g = window_geometry(window_, {});
    return {g.frame->right - g.frame->left, g.frame->bottom - g.frame->top};
  }

 private:
  HWND window_ = nullptr;
};

TEST(WindowGeometry, AFramedWindowIsCroppedToItsClientArea) {
  TestWindow window(400, 300);
  ASSERT_TRUE(window.get());
  WindowGeometry g = window_geometry(window.get(), {0, 0});
  ASSERT_TRUE(g.frame && g.client && g.client_origin);
  g.item = {static_cast<std::uint32_t>(g.frame->right - g.frame->left),
            static_cast<std::uint32_t>(g.frame->bottom - g.frame->top)};
  CaptureArea area = capture_area(g);
  EXPECT_EQ(area.wanted, (Size{400, 300}));
  EXPECT_EQ(area.crop, (Point{g.client_origin->x - g.frame->left, g.client_origin->y - g.frame->top}));
  EXPECT_GT(area.crop.y, 0) << "the title bar lies above the client area";
  std::printf("monitor refresh rate: %u Hz\n", monitor_refresh_rate(window.get()));
}

class CaptureStart : public testing::Test {
 protected:
  static void SetUpTestSuite() { start_media_foundation(); }
  void SetUp() override {
    ASSERT_TRUE(d3d.device) << "no Direct3D 11 device";
    set_line_writer([this](Stream, std::string_view text) { lines.emplace_back(text); });
  }
  void TearDown() override { set_line_writer(nullptr); }

  Result<CaptureSession> start(const RecorderOptions& options, HWND window) {
    CaptureActivation fakes{
        [this](HWND) -> Result<ComPtr<win::IGraphicsCaptureItem>> { return ComPtr<win::IGraphicsCaptureItem>(item); },
        [this]() -> Result<ComPtr<win::IDirect3D11CaptureFramePoolStatics2>> {
          return ComPtr<win::IDirect3D11CaptureFramePoolStatics2>(pools);
        }};
    return start_capture(fakes, options, window, gpu, ring, stats,
                         std::make_shared<OutputSettings>());
  }

  D3DDevice d3d = make_d3d_device();
  GpuAdapter gpu{.description = "llvmpipe", .device = d3d.device, .context = d3d.context,
                 .dxgi_device = {}, .capture_device = {}};
  fake::CloseLog closed = std::make_shared<std::vector<std::string>>();
  ComPtr<fake::CaptureItem> item;
  ComPtr<fake::FramePoolFactory> pools = win::make_com<fake::FramePoolFactory>(closed);
  std::shared_ptr<Ring> ring = std::make_shared<Ring>(
      60, RingPlatform{[] { return kUnixEpochInFileTime; }, [](WindowHandle) { return false; }});
  std::shared_ptr<CaptureStats> stats = std::make_shared<CaptureStats>();
  std::vector<std::string> lines;
};

TEST_F(CaptureStart, ThePoolTheConverterAndTheFrameCheckShareOneReadingOfTheItemSize) {
  TestWindow window(400, 300);
  const win::SizeInt32 frame = window.frame_size();
  // The window changes size while the capture starts: a second reading would differ.
  item = win::make_com<fake::CaptureItem>(
      std::vector<win::SizeInt32>{frame, {frame.Width + 20, frame.Height + 10}});
  RecorderOptions options;
  options.stage = CaptureStage::Convert;  // Wine has no hardware encoder
  options.input = InputFormat::Bgra;      // nor a video processor: the crop is a copy
  auto session = start(options, window.get());
  ASSERT_TRUE(session) << session.error().text();
  EXPECT_EQ(item->size_reads, 1);
  ASSERT_EQ(pools->made.size(), 1u);
  EXPECT_EQ(pools->made[0].size.Width, frame.Width);
  EXPECT_EQ(pools->made[0].size.Height, frame.Height);
  EXPECT_EQ(pools->made[0].buffers, 2);
  EXPECT_EQ(pools->made[0].format, win::DirectXPixelFormat::B8G8R8A8UIntNormalized);

  // A frame of that size is converted; one of the second size is a resize.
  auto texture = pattern_texture(d3d.device.get(), frame.Width, frame.Height);
  auto arrive = [&](std::int64_t t, win::SizeInt32 size) {
    pools->pool->queue(win::make_com<fake::Frame>(texture, t, size));
    session->run->handler->Invoke(pools->pool.get(), nullptr);
  };
  arrive(10'000'000'000, frame);
  arrive(10'000'200'000, {frame.Width + 20, frame.Height + 10});
  EXPECT_EQ(reading(stats->captured), 2u);
  EXPECT_EQ(reading(stats->size_skip), 1u);
  EXPECT_EQ(reading(stats->sent), 0u) << "--stage convert sends nothing";

  EXPECT_EQ(session->codec, "none");
  EXPECT_EQ(session->width, 400u);
  EXPECT_EQ(session->height, 300u);
  EXPECT_EQ(session->bitrate, 1'500'000u);
  EXPECT_FALSE(session->run->encoder);
  WindowGeometry g = window_geometry(window.get(), {});
  const std::string capturing = "capturing 400x300 (window " + std::to_string(frame.Width) + "x" +
                                std::to_string(frame.Height) + ", crop +" +
                                std::to_string(g.client_origin->x - g.frame->left) + "+" +
                                std::to_string(g.client_origin->y - g.frame->top) +
                                "), encoder \"none\" @ 60 fps, 1500 kbit/s";
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], capturing);
  const std::uint32_t hz = monitor_refresh_rate(window.get());
  EXPECT_EQ(lines[1], interval_line(hz, min_update_interval(60, hz)));

  fake::Session& s = *pools->pool->session.get();
  EXPECT_TRUE(s.started);
  EXPECT_EQ(s.cursor, true);
  EXPECT_EQ(s.border, false);
  EXPECT_EQ(s.secondary_windows, false);
  EXPECT_EQ(s.min_update_interval, min_update_interval(60, hz).count());

  close_capture_session(*session);
  EXPECT_EQ(*closed, (std::vector<std::string>{"session", "pool"}));
}

TEST_F(CaptureStart, ATooSmallWindowIsRefusedBeforeAnythingStarts) {
  TestWindow window(150, 300);
  item = win::make_com<fake::CaptureItem>(std::vector<win::SizeInt32>{window.frame_size()});
  auto session = start(RecorderOptions{}, window.get());
  ASSERT_FALSE(session);
  EXPECT_EQ(session.error().message, "the window is too small to record (150x300)");
  EXPECT_TRUE(pools->made.empty());
  EXPECT_TRUE(lines.empty());
}

TEST_F(CaptureStart, WithoutWindowsGraphicsCaptureTheStartFailsCleanly) {
  auto started = start_capture(RecorderOptions{}, GetDesktopWindow(), gpu, ring, stats,
                               std::make_shared<OutputSettings>());
  if (started) GTEST_SKIP() << "this system captures windows";
  EXPECT_NE(started.error().code, 0u) << started.error().text();
}

}  // namespace
}  // namespace orvelle::clips
