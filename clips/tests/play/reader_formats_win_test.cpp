// The source readers' formats and failures as the platform gives them: a
// 5.1 AAC stream keeps its speakers, and a clip or type that lacks what the
// player needs reports the system's own error (surround_clip.mp4 and
// sound_only.m4a, made by ffmpeg beside the test program).

#include "play/media_reader_win.h"
#include "play/render_win.h"
#include "play/video_geometry_win.h"

#include "common/utf.h"
#include "common/win/com_ptr.h"
#include "win/media_foundation_up.h"
#include "win/test_paths.h"

#include <gtest/gtest.h>

#include <mfapi.h>
#include <mferror.h>
#include <mmreg.h>

#include <cstdlib>
#include <cstring>

namespace orvelle::clips {
namespace {

// KSDATAFORMAT_SUBTYPE_IEEE_FLOAT: WAVE_FORMAT_IEEE_FLOAT in the base GUID.
constexpr GUID kFloatSubFormat{0x00000003, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

std::string beside(const wchar_t* name) {
  std::wstring w = beside_this_program(name);
  return utf16_to_utf8(std::u16string(w.begin(), w.end()));
}

// The reader's current type as its WAVEFORMATEXTENSIBLE, which the render
// client is opened with as it is.
TEST(ReaderFormatsWin, AFivePointOneStreamKeepsItsSpeakers) {
  start_media_foundation();
  auto reader = open_sound_reader_win(beside(L"surround_clip.mp4"));
  ASSERT_TRUE(reader) << reader.error().text();
  ASSERT_TRUE(*reader);
  auto format = (**reader)->set_float_output();
  ASSERT_TRUE(format) << format.error().text();
  EXPECT_EQ(format->channels, 6u);
  EXPECT_TRUE(format->is_float);
  EXPECT_EQ(format->channel_mask, 0x3Fu);
  ASSERT_GE(format->description.size(), sizeof(WAVEFORMATEXTENSIBLE));
  WAVEFORMATEXTENSIBLE wave;
  std::memcpy(&wave, format->description.data(), sizeof wave);
  EXPECT_EQ(wave.Format.wFormatTag, WAVE_FORMAT_EXTENSIBLE);
  EXPECT_GE(wave.Format.cbSize, 22);
  EXPECT_EQ(wave.Format.nChannels, 6);
  EXPECT_EQ(wave.Format.nSamplesPerSec, 48'000u);
  EXPECT_EQ(wave.Format.wBitsPerSample, 32);
  EXPECT_EQ(wave.dwChannelMask, 0x3Fu);
  EXPECT_TRUE(IsEqualGUID(wave.SubFormat, kFloatSubFormat));
}

// On ALSA's null device (the clips_win_null_sound run) the playback device
// opens on that format as it is, and plays it.
TEST(WineNullSound, APlaybackDeviceOpensOnAFivePointOneStreamsOwnFormat) {
  if (!std::getenv("ALSA_CONFIG_PATH")) GTEST_SKIP() << "needs ALSA's null device";
  start_media_foundation();
  auto reader = open_sound_reader_win(beside(L"surround_clip.mp4"));
  ASSERT_TRUE(reader && *reader);
  auto format = (**reader)->set_float_output();
  ASSERT_TRUE(format) << format.error().text();
  auto device = open_render_client(*format);
  ASSERT_TRUE(device) << device.error().text();
  auto buffer = (*device)->get_buffer((*device)->buffer_frames());
  ASSERT_TRUE(buffer) << buffer.error().text();
  EXPECT_EQ(buffer->size(), std::size_t{(*device)->buffer_frames()} * 6);
  EXPECT_TRUE((*device)->release_buffer((*device)->buffer_frames()));
  EXPECT_TRUE((*device)->start());
  EXPECT_TRUE((*device)->stop());
}

TEST(ReaderFormatsWin, AClipWithoutVideoIsTheStreamSelectionsOwnError) {
  start_media_foundation();
  auto reader = open_video_reader_win(beside(L"sound_only.m4a"));
  ASSERT_FALSE(reader);
  EXPECT_EQ(reader.error().code, static_cast<std::uint32_t>(MF_E_INVALIDSTREAMNUMBER)) << reader.error().text();
  EXPECT_EQ(reader.error().message, "");  // the system's text
  // The sound of the same clip is there.
  auto sound = open_sound_reader_win(beside(L"sound_only.m4a"));
  ASSERT_TRUE(sound) << sound.error().text();
  EXPECT_TRUE(*sound);
}

TEST(ReaderFormatsWin, AVideoTypeWithoutAFrameSizeIsThePlatformsError) {
  start_media_foundation();
  win::ComPtr<IMFMediaType> type;
  ASSERT_HRESULT_SUCCEEDED(MFCreateMediaType(type.put()));
  ASSERT_HRESULT_SUCCEEDED(type->SetGUID(MF_MT_MAJOR_TYPE, MFMediaType_Video));
  ASSERT_HRESULT_SUCCEEDED(type->SetGUID(MF_MT_SUBTYPE, MFVideoFormat_RGB32));
  auto attributes = video_type_attributes(type.get());
  ASSERT_FALSE(attributes);
  EXPECT_EQ(attributes.error().code, static_cast<std::uint32_t>(MF_E_ATTRIBUTENOTFOUND));
  EXPECT_EQ(attributes.error().message, "");
  ASSERT_HRESULT_SUCCEEDED(MFSetAttributeSize(type.get(), MF_MT_FRAME_SIZE, 64, 48));
  attributes = video_type_attributes(type.get());
  ASSERT_TRUE(attributes) << attributes.error().text();
  EXPECT_EQ(attributes->frame_size, std::uint64_t{64} << 32 | 48);
}

TEST(ReaderFormatsWin, AFailedAttributeStoreKeepsItsCode) {
  win::ComPtr<IMFAttributes> none;
  auto failed = attribute_store_made(E_OUTOFMEMORY, none);
  ASSERT_FALSE(failed);
  EXPECT_EQ(failed.error().code, static_cast<std::uint32_t>(E_OUTOFMEMORY));
  auto empty = attribute_store_made(S_OK, none);
  ASSERT_FALSE(empty);
  EXPECT_EQ(empty.error().code, static_cast<std::uint32_t>(E_FAIL));
  EXPECT_EQ(empty.error().message, "no attributes");
  start_media_foundation();
  win::ComPtr<IMFAttributes> store;
  HRESULT hr = MFCreateAttributes(store.put(), 1);
  EXPECT_TRUE(attribute_store_made(hr, store));
}

// The video reader's own store as the platform may fail to make it: the
// reader's error is the platform's code, and "no attributes" only where the
// store came back empty.
HRESULT STDAPICALLTYPE out_of_memory(IMFAttributes** store, UINT32) {
  *store = nullptr;
  return E_OUTOFMEMORY;
}
HRESULT STDAPICALLTYPE empty_store(IMFAttributes** store, UINT32) {
  *store = nullptr;
  return S_OK;
}

TEST(ReaderFormatsWin, TheVideoReaderKeepsItsAttributeStoresError) {
  start_media_foundation();
  auto failed = open_video_reader_win(beside(L"surround_clip.mp4"), out_of_memory);
  ASSERT_FALSE(failed);
  EXPECT_EQ(failed.error().code, static_cast<std::uint32_t>(E_OUTOFMEMORY)) << failed.error().text();
  EXPECT_EQ(failed.error().message, "");  // the system's text
  auto empty = open_video_reader_win(beside(L"surround_clip.mp4"), empty_store);
  ASSERT_FALSE(empty);
  EXPECT_EQ(empty.error().code, static_cast<std::uint32_t>(E_FAIL));
  EXPECT_EQ(empty.error().message, "no attributes");
  EXPECT_TRUE(open_video_reader_win(beside(L"surround_clip.mp4")));
}

}  // namespace
}  // namespace orvelle::clips
