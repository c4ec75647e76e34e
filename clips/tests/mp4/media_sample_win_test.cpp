// A packet as the sink writer's sample: a copy that the writer may rewrite
// without touching the bytes the ring shares with later saves.

#include "mp4/media_sample_win.h"

#include <gtest/gtest.h>

#include <mfapi.h>

#include <vector>

namespace orvelle::clips {
namespace {

class MediaSampleWin : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(MFStartup(MF_VERSION, MFSTARTUP_FULL), S_OK); }
  void TearDown() override { MFShutdown(); }
};

TEST_F(MediaSampleWin, CarriesACopyOfThePacketWithItsTimes) {
  const std::vector<std::uint8_t> bytes = {0, 0, 0, 1, 0x65, 0x88, 0x84};
  const Packet packet{share_bytes(bytes), bytes.size(), Ticks{333'333}, Ticks{166'666}, true};
  auto sample = make_media_sample(packet);
  ASSERT_TRUE(sample) << sample.error().text();

  LONGLONG time = 0, duration = 0;
  ASSERT_EQ((*sample)->GetSampleTime(&time), S_OK);
  ASSERT_EQ((*sample)->GetSampleDuration(&duration), S_OK);
  EXPECT_EQ(time, 333'333);
  EXPECT_EQ(duration, 166'666);
  UINT32 clean = 0;
  EXPECT_EQ((*sample)->GetUINT32(MFSampleExtension_CleanPoint, &clean), S_OK);
  EXPECT_EQ(clean, 1u);

  win::ComPtr<IMFMediaBuffer> buffer;
  ASSERT_EQ((*sample)->GetBufferByIndex(0, buffer.put()), S_OK);
  BYTE* p = nullptr;
  DWORD current = 0;
  ASSERT_EQ(buffer->Lock(&p, nullptr, &current), S_OK);
  ASSERT_EQ(current, bytes.size());
  EXPECT_NE(p, packet.data.get());
  EXPECT_EQ(std::vector<std::uint8_t>(p, p + current), bytes);
  // What a muxer does to Annex B in place: the start code becomes a length.
  p[3] = 3;
  buffer->Unlock();
  EXPECT_EQ(std::vector<std::uint8_t>(packet.bytes().begin(), packet.bytes().end()), bytes);
}

TEST_F(MediaSampleWin, ANonKeyPictureHasNoCleanPointAndAnEmptyPacketAnEmptyBuffer) {
  const Packet packet{share_bytes({}), 0, Ticks{0}, Ticks{0}, false};
  auto sample = make_media_sample(packet);
  ASSERT_TRUE(sample) << sample.error().text();
  UINT32 clean = 0;
  EXPECT_NE((*sample)->GetUINT32(MFSampleExtension_CleanPoint, &clean), S_OK);
  DWORD total = 1;
  ASSERT_EQ((*sample)->GetTotalLength(&total), S_OK);
  EXPECT_EQ(total, 0u);
}

}  // namespace
}  // namespace orvelle::clips
