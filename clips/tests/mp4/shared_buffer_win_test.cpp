// The media buffer over a packet's shared bytes, as Media Foundation's own
// sample code sees it.

#include "mp4/shared_buffer_win.h"

#include <gtest/gtest.h>

#include <mfapi.h>

#include <vector>

namespace orvelle::clips {
namespace {

TEST(SharedBytesBufferWin, LendsThePacketsOwnBytes) {
  const std::vector<std::uint8_t> bytes = {0, 0, 0, 1, 0x65, 0x88, 0x84};
  PacketData data = share_bytes(bytes);
  auto buffer = shared_bytes_buffer(data, bytes.size());
  BYTE* p = nullptr;
  DWORD max = 0, current = 0;
  ASSERT_EQ(buffer->Lock(&p, &max, &current), S_OK);
  EXPECT_EQ(p, data.get()) << "no copy";
  EXPECT_EQ(max, bytes.size());
  EXPECT_EQ(current, bytes.size());
  EXPECT_EQ(buffer->Unlock(), S_OK);
  EXPECT_EQ(buffer->SetCurrentLength(8), E_INVALIDARG);
  EXPECT_EQ(buffer->SetCurrentLength(3), S_OK);
  ASSERT_EQ(buffer->GetCurrentLength(&current), S_OK);
  EXPECT_EQ(current, 3u);
  win::ComPtr<IMFSample> other;
  EXPECT_EQ(buffer.as(other), E_NOINTERFACE);
}

TEST(SharedBytesBufferWin, ASampleKeepsTheBytesAlive) {
  ASSERT_EQ(MFStartup(0x20070, MFSTARTUP_FULL), S_OK);
  const std::vector<std::uint8_t> bytes(1000, 0x41);
  PacketData data = share_bytes(bytes);
  const std::uint8_t* where = data.get();
  win::ComPtr<IMFSample> sample;
  ASSERT_EQ(MFCreateSample(sample.put()), S_OK);
  ASSERT_EQ(sample->AddBuffer(shared_bytes_buffer(std::move(data), bytes.size()).get()), S_OK);
  DWORD total = 0;
  ASSERT_EQ(sample->GetTotalLength(&total), S_OK);
  EXPECT_EQ(total, 1000u);
  // The ring and the snapshot have let go; the sample still reads the bytes.
  win::ComPtr<IMFMediaBuffer> buffer;
  ASSERT_EQ(sample->GetBufferByIndex(0, buffer.put()), S_OK);
  BYTE* p = nullptr;
  ASSERT_EQ(buffer->Lock(&p, nullptr, nullptr), S_OK);
  EXPECT_EQ(p, where);
  EXPECT_EQ(p[999], 0x41);
  buffer->Unlock();
  MFShutdown();
}

}  // namespace
}  // namespace orvelle::clips
