// The AAC encoder over a recording transform: the order the types are set
// in, the output buffers it is given, the timing of each block and how its
// outputs reach the ring.
#include "audio/aac_encoder.h"
#include "audio/fake_sound.h"

#include <gtest/gtest.h>

namespace orvelle::clips {
namespace {

using fake::AacScript;
using fake::FakeAac;

Result<AacEncoder> make(AacScript& s, std::uint32_t rate = 48000) {
  return create_aac_encoder(std::make_unique<FakeAac>(s), rate);
}

TEST(AacEncoder, SetsInputThenOutputAndRetriesInTheOtherOrder) {
  AacScript plain;
  ASSERT_TRUE(make(plain));
  EXPECT_EQ(plain.calls,
            (std::vector<std::string>{"input 48000", "output 48000", "current output", "begin"}));

  AacScript picky;
  picky.input_needs_output_first = true;
  ASSERT_TRUE(make(picky, 44100));
  EXPECT_EQ(picky.calls, (std::vector<std::string>{"input 44100", "output 44100", "input 44100",
                                                   "current output", "begin"}));

  // A refusal in the second order is the error.
  AacScript refusing;
  refusing.refuse_output = fail("no", 0xC00D36B4u);
  auto e = make(refusing);
  ASSERT_FALSE(e);
  EXPECT_EQ(e.error().code, 0xC00D36B4u);
  EXPECT_EQ(refusing.calls, (std::vector<std::string>{"input 48000", "output 48000", "output 48000"}));
}

TEST(AacEncoder, OutputBuffersAreAtLeast8192BytesAndSamplesMayComeFromTheTransform) {
  const struct {
    AacStreamInfo info;
    std::uint32_t size;
    bool provides;
  } cases[] = {{{0, 0}, 8192, false}, {{0, 12000}, 12000, false}, {{0x100, 100}, 8192, true},
               {{0x200, 0}, 8192, true}, {{0x4, 0}, 8192, false}};
  for (const auto& c : cases) {
    AacScript s;
    s.info = c.info;
    auto e = make(s);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->output_buffer_size, c.size);
    EXPECT_EQ(e->provides_samples, c.provides);
  }
}

TEST(AacEncoder, BlockDurationIsIntegerDivision) {
  EXPECT_EQ(block_duration(1440, 48000), Ticks{300'000});
  EXPECT_EQ(block_duration(1025, 44100), Ticks{232'426});
  EXPECT_EQ(block_duration(1024, 48000), Ticks{213'333});
}

TEST(AacEncoder, EachFrameOfABlockGoesToItsTrackAtTheBlockTime) {
  auto ring = fake::sound_ring();
  AacScript s;
  s.frames_per_input = 2;
  auto e = make(s);
  ASSERT_TRUE(e);
  const std::vector<std::int16_t> block(2880, 3);
  ASSERT_TRUE(encode_audio_block(*e, block, Ticks{1'000'001}, 48000, *ring));
  ASSERT_TRUE(encode_game_audio_block(*e, block, Ticks{2'000'001}, 48000, *ring));
  EXPECT_EQ(s.inputs, (std::vector<std::pair<Ticks, Ticks>>{{Ticks{1'000'001}, Ticks{300'000}},
                                                           {Ticks{2'000'001}, Ticks{300'000}}}));
  EXPECT_EQ(s.blocks[0], block);
  // Two frames, then the wanting of more input: three draws per block.
  EXPECT_EQ(s.draws.size(), 6u);
  EXPECT_EQ(s.draws[0], (std::pair<bool, std::uint32_t>{false, 8192}));
  const auto mix = fake::ring_sound(*ring), game = fake::ring_sound(*ring, true);
  ASSERT_EQ(mix.size(), 2u);
  ASSERT_EQ(game.size(), 2u);
  EXPECT_EQ(mix[0].time, Ticks{1'000'000});  // the ring's clip time: capture time − 1
  EXPECT_EQ(game[1].time, Ticks{2'000'000});
  EXPECT_TRUE(mix[0].key);
  EXPECT_EQ(mix[0].bytes()[1], 1);
  EXPECT_EQ(game[0].bytes()[1], 2);
}

TEST(AacEncoder, EmptyOutputsAndBufferingGiveNoPacketAndNoError) {
  auto ring = fake::sound_ring();
  AacScript buffering, empty;
  buffering.frames_per_input = 0;
  empty.empty_frames = true;
  for (AacScript* s : {&buffering, &empty}) {
    auto e = make(*s);
    ASSERT_TRUE(e);
    EXPECT_TRUE(encode_audio_block(*e, std::vector<std::int16_t>(2048), Ticks{5}, 48000, *ring));
  }
  EXPECT_TRUE(fake::ring_sound(*ring).empty());
}

TEST(AacEncoder, AFailingOrEndlessDrawFailsTheBlock) {
  auto ring = fake::sound_ring();
  AacScript changing;
  changing.output_error = fail("", 0xC00D6D61u);  // a stream change
  auto e = make(changing);
  ASSERT_TRUE(e);
  auto r = encode_audio_block(*e, std::vector<std::int16_t>(2048), Ticks{5}, 48000, *ring);
  ASSERT_FALSE(r);
  EXPECT_EQ(r.error().code, 0xC00D6D61u);

  // Success with no output, for ever: the block gives up instead of spinning.
  AacScript endless;
  endless.endless_no_sample = true;
  auto stuck = make(endless);
  ASSERT_TRUE(stuck);
  EXPECT_FALSE(encode_audio_block(*stuck, std::vector<std::int16_t>(2048), Ticks{5}, 48000, *ring));
  EXPECT_EQ(endless.draws.size(), std::size_t(kMaxDrawsPerBlock));
}

}  // namespace
}  // namespace orvelle::clips
