// The source readers under Wine on an H.264/AAC MP4 that ffmpeg made for
// the run (play_clip.mp4 beside the test program).

#include "play/media_reader_win.h"

#include "common/utf.h"
#include "common/win/com_object.h"
#include "play/decoded_picture_win.h"
#include "play/media_duration_win.h"
#include "play/audio_feed.h"
#include "play/fake_frames.h"
#include "play/fake_sound.h"
#include "play/frames_writer.h"
#include "play/video_geometry.h"
#include "win/media_foundation_up.h"
#include "win/test_paths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include <mfapi.h>
#include <mferror.h>

namespace orvelle::clips {
namespace {

std::string clip_path() {
  std::wstring w = beside_this_program(L"play_clip.mp4");
  return utf16_to_utf8(std::u16string(w.begin(), w.end()));
}

TEST(MediaReaderWin, TheVideoStreamsNativeTypeDurationAndSeek) {
  start_media_foundation();
  auto reader = open_video_reader_win(clip_path());
  ASSERT_TRUE(reader) << reader.error().text();
  auto native = (*reader)->native_type();
  ASSERT_TRUE(native) << native.error().text();
  auto geometry = read_video_geometry(*native);
  ASSERT_TRUE(geometry);
  EXPECT_EQ(geometry->visible_width, 320u);
  EXPECT_EQ(geometry->visible_height, 180u);
  auto duration = (*reader)->duration();
  ASSERT_TRUE(duration) << duration.error().text();
  EXPECT_NEAR(static_cast<double>(*duration) / 1e7, 2.0, 0.1);
  ASSERT_TRUE((*reader)->seek(10'000'000));
  // The pictures come in the decoder's own type here: Wine cannot give
  // RGB32. The first after the seek is about its time.
  auto read = (*reader)->read();
  ASSERT_TRUE(read) << read.error().text();
  ASSERT_TRUE(read->picture);
  EXPECT_NEAR(static_cast<double>(read->time), 10'000'000, 1'000'000);
}

TEST(MediaReaderWin, ANonExistentClipIsTheSystemsError) {
  start_media_foundation();
  auto reader = open_video_reader_win(clip_path() + ".missing");
  ASSERT_FALSE(reader);
  EXPECT_NE(reader.error().code, 0u);
}

TEST(MediaReaderWin, TheSoundStreamDecodesToFloatAndSeeks) {
  start_media_foundation();
  auto reader = open_sound_reader_win(clip_path());
  ASSERT_TRUE(reader) << reader.error().text();
  ASSERT_TRUE(*reader);
  auto format = (**reader)->set_float_output();
  ASSERT_TRUE(format) << format.error().text();
  EXPECT_EQ(format->channels, 2u);
  EXPECT_EQ(format->rate, 48'000u);
  EXPECT_TRUE(format->is_float);
  ASSERT_TRUE((**reader)->seek(10'000'000));
  std::vector<float> samples;
  bool got = false;
  for (int i = 0; i < 50 && !got; ++i) {
    auto read = (**reader)->read(samples);
    ASSERT_TRUE(read) << read.error().text();
    ASSERT_FALSE(read->end_of_stream);
    if (read->has_sample) {
      got = true;
      // Wine's reader lands a little after the time, not on the packet before.
      EXPECT_NEAR(static_cast<double>(read->time), 10'000'000, 1'000'000);
      EXPECT_FALSE(samples.empty());
    }
  }
  EXPECT_TRUE(got);
}

// The audio feed over Wine's sound reader: after a seek the device gets
// the tone from the target on, a buffer's worth and no more.
TEST(MediaReaderWin, TheFeedFillsTheDeviceFromWinesReaderAfterASeek) {
  start_media_foundation();
  auto reader = open_sound_reader_win(clip_path());
  ASSERT_TRUE(reader && *reader);
  auto format = (**reader)->set_float_output();
  ASSERT_TRUE(format);
  RecordingDevice device(4800, format->channels);
  AudioFeed feed(***reader, device, *format);
  ASSERT_TRUE((**reader)->seek(5'000'000));
  feed.restart(5'000'000);
  auto filled = fill_render_buffer(feed, 0.5f);
  ASSERT_TRUE(filled) << filled.error().text();
  ASSERT_EQ(device.written.size(), 9600u);
  float peak = 0;
  for (float v : device.written) peak = std::max(peak, std::abs(v));
  EXPECT_GT(peak, 0.02f);  // the tone, at half volume
  EXPECT_LT(peak, 0.5f);
  EXPECT_FALSE(feed.ended);
}

// A picture the platform hands over in a two-dimensional buffer, top-down
// or bottom-up, and in a plain one: the frames slot gets its rows top row
// first, R, G, B, 255.
TEST(MediaReaderWin, DecodedBuffersReachTheSlotTopRowFirst) {
  start_media_foundation();
  constexpr DWORD W = 8, H = 4;
  constexpr DWORD kX8R8G8B8 = 22;  // D3DFMT_X8R8G8B8, what RGB32 pictures come in
  FramesSize size = *frames_size(W, H);
  for (BOOL bottom_up : {FALSE, TRUE}) {
    win::ComPtr<IMFMediaBuffer> buffer;
    ASSERT_HRESULT_SUCCEEDED(MFCreate2DMediaBuffer(W, H, kX8R8G8B8, bottom_up, buffer.put()));
    win::ComPtr<IMF2DBuffer> two_d;
    ASSERT_HRESULT_SUCCEEDED(buffer.as(two_d));
    BYTE* top = nullptr;
    LONG pitch = 0;
    ASSERT_HRESULT_SUCCEEDED(two_d->Lock2D(&top, &pitch));
    EXPECT_EQ(pitch < 0, bottom_up == TRUE);
    for (DWORD y = 0; y < H; ++y)
      for (DWORD x = 0; x < W; ++x) {
        BYTE* p = top + static_cast<LONG>(y) * pitch + x * 4;
        p[0] = static_cast<BYTE>(x), p[1] = static_cast<BYTE>(y), p[2] = 0x33, p[3] = 0;
      }
    ASSERT_HRESULT_SUCCEEDED(two_d->Unlock2D());
    MemoryFramesFile file(size.file_bytes);
    FramesWriter writer(file, W, H, size);
    auto picture = decoded_picture_win(buffer);
    auto published = writer.publish_frame(*picture, {H, 0, 0, W, H, static_cast<std::int32_t>(W * 4)}, 0, 1);
    ASSERT_TRUE(published) << published.error().text();
    const std::uint8_t* slot = file.bytes().data() + kFramesHeaderBytes;
    for (DWORD y = 0; y < H; ++y) {
      const std::uint8_t* p = slot + (y * W + W - 1) * 4;
      EXPECT_EQ(p[0], 0x33) << "bottom-up " << bottom_up << " row " << y;
      EXPECT_EQ(p[1], y);
      EXPECT_EQ(p[2], W - 1);
      EXPECT_EQ(p[3], 255);
    }
  }
  // A plain buffer shorter than the geometry: refused, nothing published.
  win::ComPtr<IMFMediaBuffer> plain;
  ASSERT_HRESULT_SUCCEEDED(MFCreateMemoryBuffer(W * 4 * H, plain.put()));
  ASSERT_HRESULT_SUCCEEDED(plain->SetCurrentLength(W * 4 * (H - 1)));
  MemoryFramesFile file(size.file_bytes);
  FramesWriter writer(file, W, H, size);
  auto picture = decoded_picture_win(plain);
  EXPECT_FALSE(writer.publish_frame(*picture, {H, 0, 0, W, H, static_cast<std::int32_t>(W * 4)}, 0, 1));
  EXPECT_EQ(file.u32(16), 1u);
}

// A decoder's surface as some buffers offer it: the first two-dimensional
// lock only (no IMF2DBuffer2), rows padded past the packed width, top-down
// or bottom-up; a plain lock hands out the memory as it lies.
class PaddedBuffer final : public win::ComObject<IMFMediaBuffer, IMF2DBuffer> {
 public:
  PaddedBuffer(DWORD width, DWORD height, LONG pitch)
      : memory_(static_cast<std::size_t>(std::abs(pitch)) * height), width_(width), height_(height), pitch_(pitch) {}
  BYTE* scan0() { return memory_.data() + (pitch_ < 0 ? (height_ - 1) * static_cast<std::size_t>(-pitch_) : 0); }
  int locks = 0, unlocks = 0;

  HRESULT STDMETHODCALLTYPE Lock(BYTE** data, DWORD* max, DWORD* current) override {
    *data = memory_.data();
    if (max) *max = static_cast<DWORD>(memory_.size());
    if (current) *current = static_cast<DWORD>(memory_.size());
    ++locks;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Unlock() override { return ++unlocks, S_OK; }
  HRESULT STDMETHODCALLTYPE GetCurrentLength(DWORD* length) override {
    *length = static_cast<DWORD>(memory_.size());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetCurrentLength(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMaxLength(DWORD* length) override { return GetCurrentLength(length); }
  HRESULT STDMETHODCALLTYPE Lock2D(BYTE** first, LONG* pitch) override {
    *first = scan0();
    *pitch = pitch_;
    ++locks;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Unlock2D() override { return ++unlocks, S_OK; }
  HRESULT STDMETHODCALLTYPE GetScanline0AndPitch(BYTE** first, LONG* pitch) override { return Lock2D(first, pitch); }
  HRESULT STDMETHODCALLTYPE IsContiguousFormat(BOOL* contiguous) override {
    *contiguous = FALSE;
    return S_OK;
  }
  // The packed form: rows of the width in pixels, four bytes each.
  HRESULT STDMETHODCALLTYPE GetContiguousLength(DWORD* length) override {
    *length = width_ * 4 * height_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContiguousCopyTo(BYTE*, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ContiguousCopyFrom(const BYTE*, DWORD) override { return E_NOTIMPL; }

 private:
  std::vector<BYTE> memory_;
  DWORD width_, height_;
  LONG pitch_;
};

TEST(MediaReaderWin, ABufferWithOnlyTheFirstTwoDimensionalLockIsReadAtItsOwnPitch) {
  constexpr DWORD W = 8, H = 4;
  constexpr auto kRow = static_cast<LONG>(W * 4);
  FramesSize size = *frames_size(W, H);
  for (LONG pitch : {kRow + 16, -(kRow + 16)}) {
    SCOPED_TRACE(pitch);
    auto buffer = win::make_com<PaddedBuffer>(W, H, pitch);
    for (DWORD y = 0; y < H; ++y)
      for (DWORD x = 0; x < W; ++x) {
        BYTE* p = buffer->scan0() + static_cast<LONG>(y) * pitch + x * 4;
        p[0] = static_cast<BYTE>(x), p[1] = static_cast<BYTE>(y), p[2] = 0x44, p[3] = 0;
      }
    MemoryFramesFile file(size.file_bytes);
    FramesWriter writer(file, W, H, size);
    win::ComPtr<IMFMediaBuffer> plain;
    ASSERT_HRESULT_SUCCEEDED(buffer.as(plain));
    auto picture = decoded_picture_win(plain);
    // The type's stride is the packed one; the rows lie where Lock2D says.
    auto published = writer.publish_frame(*picture, {H, 0, 0, W, H, kRow}, 0, 1);
    ASSERT_TRUE(published) << published.error().text();
    const std::uint8_t* slot = file.bytes().data() + kFramesHeaderBytes;
    for (DWORD y = 0; y < H; ++y)
      for (DWORD x = 0; x < W; ++x) {
        const std::uint8_t* p = slot + (y * W + x) * 4;
        ASSERT_EQ((std::vector<int>{p[0], p[1], p[2], p[3]}), (std::vector<int>{0x44, int(y), int(x), 255}))
            << "row " << y << " column " << x;
      }
    picture.reset();
    EXPECT_EQ(buffer->locks, buffer->unlocks);
  }
}

TEST(MediaReaderWin, ADurationThatIsNotAnUnsignedNumberCountsAsNone) {
  PROPVARIANT value{};
  value.vt = VT_UI8;
  value.uhVal.QuadPart = 123'456'789;
  EXPECT_EQ(media_duration(value), 123'456'789u);
  value.vt = VT_I8;
  value.hVal.QuadPart = 20'000'000;
  EXPECT_EQ(media_duration(value), 0u);
  value.vt = VT_R8;
  value.dblVal = 2e7;
  EXPECT_EQ(media_duration(value), 0u);
  value.vt = VT_EMPTY;
  EXPECT_EQ(media_duration(value), 0u);
}

// A source reader that answers the media source's duration with a value of
// the given type, and nothing else.
class DurationSource final : public win::ComObject<IMFSourceReader> {
 public:
  explicit DurationSource(PROPVARIANT duration, HRESULT answer = S_OK) : duration_(duration), answer_(answer) {}
  bool asked_for_the_sources_duration = false;

  HRESULT STDMETHODCALLTYPE GetPresentationAttribute(DWORD index, REFGUID guid, PROPVARIANT* value) override {
    asked_for_the_sources_duration =
        index == static_cast<DWORD>(MF_SOURCE_READER_MEDIASOURCE) && guid == MF_PD_DURATION;
    if (FAILED(answer_)) return answer_;
    *value = duration_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetStreamSelection(DWORD, WINBOOL*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetStreamSelection(DWORD, WINBOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetNativeMediaType(DWORD, DWORD, IMFMediaType**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetCurrentMediaType(DWORD, IMFMediaType**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetCurrentMediaType(DWORD, DWORD*, IMFMediaType*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetCurrentPosition(REFGUID, REFPROPVARIANT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ReadSample(DWORD, DWORD, DWORD*, DWORD*, LONGLONG*, IMFSample**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Flush(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetServiceForStream(DWORD, REFGUID, REFIID, void**) override { return E_NOTIMPL; }

 private:
  PROPVARIANT duration_;
  HRESULT answer_;
};

// The video reader's duration as the source reader gives it: a length of
// another type is no length (the storyboard and the player go on without
// one), not an error; a failed question is the platform's own error.
TEST(MediaReaderWin, TheVideoReadersDurationOfAnotherTypeIsNoLength) {
  struct Case {
    VARTYPE type;
    std::int64_t number;
    std::uint64_t expected;
  };
  for (const Case& c : {Case{VT_UI8, 20'000'000, 20'000'000u}, Case{VT_I8, 20'000'000, 0u},
                        Case{VT_UI4, 200, 0u}, Case{VT_EMPTY, 0, 0u}}) {
    SCOPED_TRACE(c.type);
    PROPVARIANT value{};
    value.vt = c.type;
    value.hVal.QuadPart = c.number;
    auto source = win::make_com<DurationSource>(value);
    win::ComPtr<IMFSourceReader> as_reader;
    ASSERT_HRESULT_SUCCEEDED(source.as(as_reader));
    auto duration = video_reader_win(as_reader)->duration();
    EXPECT_TRUE(source->asked_for_the_sources_duration);
    ASSERT_TRUE(duration) << duration.error().text();
    EXPECT_EQ(*duration, c.expected);
  }
  auto refusing = win::make_com<DurationSource>(PROPVARIANT{}, MF_E_ATTRIBUTENOTFOUND);
  win::ComPtr<IMFSourceReader> as_reader;
  ASSERT_HRESULT_SUCCEEDED(refusing.as(as_reader));
  auto duration = video_reader_win(as_reader)->duration();
  ASSERT_FALSE(duration);
  EXPECT_EQ(duration.error().code, static_cast<std::uint32_t>(MF_E_ATTRIBUTENOTFOUND));
}

}  // namespace
}  // namespace orvelle::clips
