// The storyboard's Windows halves under Wine: the imaging component's
// scaler and JPEG encoder really run, and the files are written whole on
// paths that are not ASCII.

#include "board/board_files_win.h"
#include "board/jpeg_encoder_win.h"
#include "common/tests/support/unix_link_win.h"
#include "common/win/com_ptr.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <objbase.h>
#include <wincodec.h>

#include <chrono>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace orvelle::clips {
namespace {

namespace fs = std::filesystem;
using orvelle::win::ComPtr;

// Four blocks side by side: blue, green, red, white (B, G, R, A in memory).
std::vector<std::uint8_t> blocks(std::uint32_t width, std::uint32_t height) {
  static const std::uint8_t colours[4][4] = {
      {255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 255, 255}};
  std::vector<std::uint8_t> pixels(std::size_t{width} * height * 4);
  for (std::uint32_t y = 0; y < height; ++y)
    for (std::uint32_t x = 0; x < width; ++x)
      std::memcpy(&pixels[(std::size_t{y} * width + x) * 4], colours[x * 4 / width], 4);
  return pixels;
}

// The JPEG decoded again by the imaging component, as 32-bit BGRA.
struct Decoded {
  UINT width = 0, height = 0;
  std::vector<std::uint8_t> pixels;
};
Decoded decode(const std::vector<std::uint8_t>& jpeg) {
  Decoded d;
  ComPtr<IWICImagingFactory> factory;
  EXPECT_EQ(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                             IID_PPV_ARGS(factory.put())), S_OK);
  ComPtr<IWICStream> stream;
  EXPECT_EQ(factory->CreateStream(stream.put()), S_OK);
  EXPECT_EQ(stream->InitializeFromMemory(const_cast<BYTE*>(jpeg.data()), static_cast<DWORD>(jpeg.size())), S_OK);
  ComPtr<IWICBitmapDecoder> decoder;
  EXPECT_EQ(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                             decoder.put()), S_OK);
  if (!decoder) return d;
  GUID container{};
  EXPECT_EQ(decoder->GetContainerFormat(&container), S_OK);
  EXPECT_TRUE(container == GUID_ContainerFormatJpeg);
  ComPtr<IWICBitmapFrameDecode> frame;
  EXPECT_EQ(decoder->GetFrame(0, frame.put()), S_OK);
  ComPtr<IWICFormatConverter> converter;
  EXPECT_EQ(factory->CreateFormatConverter(converter.put()), S_OK);
  EXPECT_EQ(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone,
                                  nullptr, 0, WICBitmapPaletteTypeCustom), S_OK);
  EXPECT_EQ(converter->GetSize(&d.width, &d.height), S_OK);
  d.pixels.resize(std::size_t{d.width} * d.height * 4);
  EXPECT_EQ(converter->CopyPixels(nullptr, d.width * 4, static_cast<UINT>(d.pixels.size()), d.pixels.data()), S_OK);
  return d;
}

class BoardWin : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))); }
  void TearDown() override { CoUninitialize(); }
};

TEST_F(BoardWin, TheJpegEncoderScalesAndEncodesAPictureThatDecodesBack) {
  auto encoder = make_wic_jpeg_encoder();
  ASSERT_TRUE(encoder) << encoder.error().text();
  const auto picture = blocks(256, 64);
  auto jpeg = (*encoder)->encode(picture, 256, 64, {128, 32});
  ASSERT_TRUE(jpeg) << jpeg.error().text();
  ASSERT_GE(jpeg->size(), 4u);
  EXPECT_EQ((*jpeg)[0], 0xFF);  // a JPEG's start of image
  EXPECT_EQ((*jpeg)[1], 0xD8);
  const Decoded d = decode(*jpeg);
  ASSERT_EQ(d.width, 128u);
  ASSERT_EQ(d.height, 32u);
  // The middle of each block keeps its colour within JPEG's error.
  for (int block = 0; block < 4; ++block) {
    const std::size_t x = block * 32 + 16, y = 16;
    const std::uint8_t* got = &d.pixels[(y * d.width + x) * 4];
    const std::uint8_t* want = &picture[(y * 2 * 256 + x * 2) * 4];
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(got[c], want[c], 24) << "block " << block << " channel " << c;
  }
}

TEST_F(BoardWin, FilesAreWrittenWholeUnderTheirNames) {
  TempFolder dir(L"orvelle-board-\u00e4\U0001F3AE-");
  Win32BoardFiles files;
  const std::string target = dir.file(L"b\u00f6ard.frames");
  const std::vector<std::uint8_t> first(100'000, 0x41), second = {1, 2, 3};
  ASSERT_TRUE(files.write_part_file(target, first));
  ASSERT_TRUE(files.write_part_file(target, second));  // replaces it
  EXPECT_FALSE(fs::exists(fs::u8path(target + ".part")));
  const BoardSource facts = files.facts(target);
  EXPECT_EQ(facts.size, 3u);
  const auto now_ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::system_clock::now().time_since_epoch()).count();
  EXPECT_NEAR(static_cast<double>(facts.mtime_ms), static_cast<double>(now_ms), 60'000.0);
  EXPECT_EQ(files.facts(dir.file("gone.mp4")).size, 0u);
  EXPECT_EQ(files.facts(dir.file("gone.mp4")).mtime_ms, 0u);

  ASSERT_TRUE(files.remove(target));
  EXPECT_FALSE(fs::exists(fs::u8path(target)));
  EXPECT_TRUE(files.remove(target)) << "gone already is no failure";

  // Into a folder that is not there: the system's error, and nothing left.
  const std::string lost = dir.file(L"missing\\board.json");
  auto failed = files.write_part_file(lost, second);
  ASSERT_FALSE(failed);
  EXPECT_EQ(failed.error().code, 0x80070003u);
}

// The part's name is made here, beside the client's: a part an earlier
// save left goes, a link planted there is never written through, and the
// save fails instead.
TEST_F(BoardWin, APartLeftAtItsNameIsReplacedAndALinkThereNeverFollowed) {
  TempFolder dir(L"orvelle-board-part-"), elsewhere(L"orvelle-board-victim-");
  Win32BoardFiles files;
  const std::string target = dir.file(L"board.json");
  std::ofstream(fs::u8path(target + ".part"), std::ios::binary) << "left by a save";
  const std::vector<std::uint8_t> bytes = {1, 2, 3};
  ASSERT_TRUE(files.write_part_file(target, bytes));
  EXPECT_EQ(files.facts(target).size, 3u);
  EXPECT_FALSE(fs::exists(fs::u8path(target + ".part")));

  const fs::path victim = fs::u8path(elsewhere.file(L"victim.txt")), link = fs::u8path(target + ".part");
  std::ofstream(victim, std::ios::binary) << "precious";
  ASSERT_TRUE(test::unix_link(victim, link));
  auto refused = files.write_part_file(target, std::vector<std::uint8_t>(100, 0x41));
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.error().code, 0x80070050u);  // ERROR_FILE_EXISTS
  std::ifstream in(victim, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "precious");
  EXPECT_EQ(files.facts(target).size, 3u);  // the earlier board stands
  test::unix_remove(link);
}

}  // namespace
}  // namespace orvelle::clips
