// The wave format bytes as devices describe their streams, and the
// conversions of captured packets to what the encoder and the mixer take.
#include "audio/fake_sound.h"
#include "audio/mic_queue.h"
#include "audio/mix_format.h"
#include "audio/samples.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace orvelle::clips {
namespace {

using fake::Bytes;
using fake::wave_format;

TEST(MixFormat, ReadsExactlyTheTableOfFormats) {
  struct Case {
    Bytes bytes;
    std::optional<SampleKind> kind;
  };
  const Case cases[] = {
      {wave_format(0xFFFE, 2, 48000, 16, 1), SampleKind::i16},
      {wave_format(0xFFFE, 2, 48000, 32, 3), SampleKind::f32},
      {wave_format(0xFFFE, 2, 48000, 32, 1), SampleKind::i32},
      {wave_format(3, 2, 48000, 32), SampleKind::f32},
      {wave_format(1, 2, 48000, 16), SampleKind::i16},
      {wave_format(0xFFFE, 2, 48000, 24, 1), std::nullopt},  // 24-bit
      {wave_format(0xFFFE, 2, 48000, 16, 3), std::nullopt},  // 16-bit float
      {wave_format(0xFFFE, 2, 48000, 32, 2), std::nullopt},  // another sub-format
      {wave_format(1, 2, 48000, 32), std::nullopt},          // 32-bit without the extension
      {wave_format(3, 2, 48000, 64), std::nullopt},
      {wave_format(2, 2, 48000, 16), std::nullopt},  // ADPCM
  };
  for (const Case& c : cases) {
    auto f = parse_mix_format(c.bytes);
    ASSERT_EQ(f.has_value(), c.kind.has_value()) << c.bytes[14];
    if (f) {
      EXPECT_EQ(f->kind, *c.kind);
      EXPECT_EQ(f->rate, 48000u);
      EXPECT_EQ(f->channels, 2);
    } else {
      EXPECT_EQ(f.error().code, 0x88890008u);
      EXPECT_EQ(f.error().message, "mix format");
    }
  }
}

TEST(MixFormat, ComparesTheWholeSubFormat) {
  Bytes b = wave_format(0xFFFE, 2, 48000, 32, 3);
  ASSERT_TRUE(parse_mix_format(b));
  b[39] ^= 1;  // the last byte of the id
  EXPECT_FALSE(parse_mix_format(b));
}

// Formats that would let a read leave the packet.
TEST(MixFormat, RefusesShapesThatReadOutsideTheFrame) {
  Bytes no_channels = wave_format(3, 0, 48000, 32);
  Bytes small_block = wave_format(3, 2, 48000, 32);
  small_block[12] = 4;  // one float, though two channels are read
  Bytes short_extension = wave_format(0xFFFE, 2, 48000, 32, 3);
  short_extension[16] = 21;
  Bytes cut = wave_format(0xFFFE, 2, 48000, 32, 3);
  cut.resize(30);
  for (const Bytes& b : {no_channels, small_block, short_extension, cut, Bytes(17, 0)}) {
    auto f = parse_mix_format(b);
    ASSERT_FALSE(f);
    EXPECT_EQ(f.error().text(), "mix format (0x88890008)");
  }
  Bytes mono_block = wave_format(3, 1, 48000, 32);  // one channel needs one float
  EXPECT_TRUE(parse_mix_format(mono_block));
}

TEST(MixFormat, FloatMonoIsWhatTheMicrophoneIsAskedFor) {
  auto f = parse_mix_format(float_mono_format(44100));
  ASSERT_TRUE(f);
  EXPECT_EQ(*f, (MixFormat{44100, 1, 4, SampleKind::f32}));
  EXPECT_EQ(float_mono_format(44100), (std::array<std::uint8_t, 18>{3, 0, 1, 0, 0x44, 0xAC, 0, 0, 0x10, 0xB1, 2, 0,
                                                                    4, 0, 32, 0, 0, 0}));
}

TEST(Samples, FloatsClampAndSaturateNotANumberIsSilence) {
  const float inf = std::numeric_limits<float>::infinity();
  const std::pair<float, std::int16_t> cases[] = {
      {1.5f, 32767}, {-1.5f, -32767}, {0.5f, 16383}, {-0.5f, -16383}, {1.0f, 32767},
      {inf, 32767},  {-inf, -32767},  {std::nanf(""), 0}, {1e30f, 32767}, {0.0f, 0}};
  for (auto [in, out] : cases) EXPECT_EQ(float_to_i16(in), out) << in;
}

// The rules as the loops must keep them, one value at a time and with
// branches: NaN is silence, the rest clamps, then goes toward zero.
std::int16_t scalar_i16(float x) {
  if (std::isnan(x)) return 0;
  if (x >= 1.0f) return 32767;
  if (x <= -1.0f) return -32767;
  return static_cast<std::int16_t>(static_cast<double>(x) * 32767.0);
}
std::int16_t scalar_mix(std::int16_t game, float mic, std::uint32_t volume) {
  const float v = mic * (static_cast<float>(std::min<std::uint32_t>(volume, 200)) / 100.0f * 32767.0f);
  std::int64_t m = 0;
  if (std::isnan(v)) m = 0;
  else if (v >= 2147483647.0f) m = 2147483647;
  else if (v <= -2147483648.0f) m = -2147483648LL;
  else m = static_cast<std::int32_t>(v);
  return static_cast<std::int16_t>(std::clamp<std::int64_t>(game + m, -32768, 32767));
}

// 64 frames, so the Release build's vector loops (not only their scalar
// tails) meet every odd float, each in more than one lane.
std::vector<float> odd_floats() {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float pattern[] = {nan, std::copysign(nan, -1.0f), inf, -inf, 1e30f, -1e30f,
                           std::numeric_limits<float>::signaling_NaN(), 0.5f, -1.5f, 0.999f, -0.25f};
  std::vector<float> v(64);
  for (std::size_t i = 0; i < v.size(); ++i) v[i] = pattern[(i * 5 + i / 11) % std::size(pattern)];
  return v;
}

TEST(Samples, OddFloatsThroughTheVectorLoopsFollowTheScalarRule) {
  const std::vector<float> odd = odd_floats();
  // The usual stereo stream (its own loop) and six channels (the strided one).
  for (std::uint16_t channels : {2, 6}) {
    SCOPED_TRACE(channels);
    std::vector<float> interleaved;
    for (std::size_t i = 0; i + 1 < odd.size(); i += 2) {
      interleaved.insert(interleaved.end(), {odd[i], odd[i + 1]});
      interleaved.insert(interleaved.end(), channels - 2u, 0.75f);
    }
    const std::uint32_t frames = static_cast<std::uint32_t>(odd.size() / 2);
    Bytes bytes(interleaved.size() * sizeof(float));
    std::memcpy(bytes.data(), interleaved.data(), bytes.size());
    std::vector<std::int16_t> out;
    game_sound_to_stereo_i16(bytes, frames, {48000, channels, static_cast<std::uint16_t>(channels * 4), SampleKind::f32},
                             false, out);
    ASSERT_EQ(out.size(), odd.size());
    for (std::size_t i = 0; i < odd.size(); ++i) EXPECT_EQ(out[i], scalar_i16(odd[i])) << i << ": " << odd[i];
  }
  // The microphone mixed into game values that sit near both limits.
  for (std::uint32_t volume : {100u, 200u}) {
    SCOPED_TRACE(volume);
    MicQueue q(1000);  // 40 values prime it
    for (float v : odd) q.samples().push(v);
    std::vector<std::int16_t> values(2 * odd.size());
    for (std::size_t i = 0; i < values.size(); ++i) values[i] = static_cast<std::int16_t>(i % 3 == 0 ? 32000 : -32000 + static_cast<int>(i));
    const std::vector<std::int16_t> game = values;
    q.mix_into(values, volume);
    for (std::size_t i = 0; i < values.size(); ++i)
      EXPECT_EQ(values[i], scalar_mix(game[i], odd[i / 2], volume)) << i << ": " << odd[i / 2];
  }
}

template <typename T>
Bytes frames_of(std::initializer_list<T> samples) {
  Bytes b(samples.size() * sizeof(T));
  std::memcpy(b.data(), std::data(samples), b.size());
  return b;
}

TEST(Samples, StereoFromEveryKindKeepsTheFirstTwoChannels) {
  // Two frames of six channels: only channels 0 and 1 are read.
  const Bytes surround = frames_of<float>({0.5f, -0.5f, 0.9f, 0.9f, 0.9f, 0.9f, 1.5f, 0.0f, 0.9f, 0.9f, 0.9f, 0.9f});
  std::vector<std::int16_t> out;
  game_sound_to_stereo_i16(surround, 2, {48000, 6, 24, SampleKind::f32}, false, out);
  EXPECT_EQ(out, (std::vector<std::int16_t>{16383, -16383, 32767, 0}));

  // Mono gives its channel to both sides; 32-bit keeps the upper half.
  out.clear();
  game_sound_to_stereo_i16(frames_of<std::int32_t>({0x12345678, -0x10000}), 2, {48000, 1, 4, SampleKind::i32},
                           false, out);
  EXPECT_EQ(out, (std::vector<std::int16_t>{0x1234, 0x1234, -1, -1}));

  out.clear();
  game_sound_to_stereo_i16(frames_of<std::int16_t>({7, -8, 9, -10}), 2, {44100, 2, 4, SampleKind::i16}, false, out);
  EXPECT_EQ(out, (std::vector<std::int16_t>{7, -8, 9, -10}));
}

TEST(Samples, SilentPacketsAndShortPacketsGiveZerosOfTheirFullLength) {
  std::vector<std::int16_t> out = {5};
  game_sound_to_stereo_i16(frames_of<float>({0.5f, 0.5f}), 3, {48000, 2, 8, SampleKind::f32}, true, out);
  EXPECT_EQ(out, (std::vector<std::int16_t>{5, 0, 0, 0, 0, 0, 0}));
  // Three frames announced, one frame of bytes: the rest is never read.
  out.clear();
  game_sound_to_stereo_i16(frames_of<float>({0.5f, 0.5f}), 3, {48000, 2, 8, SampleKind::f32}, false, out);
  EXPECT_EQ(out, (std::vector<std::int16_t>{16383, 16383, 0, 0, 0, 0}));
}

TEST(Samples, ReadSampleNeverPassesTheLastChannel) {
  const Bytes frame = frames_of<std::int16_t>({100, 200});
  const MixFormat f{48000, 2, 4, SampleKind::i16};
  EXPECT_EQ(read_sample_i16(frame.data(), 0, f), 100);
  EXPECT_EQ(read_sample_i16(frame.data(), 1, f), 200);
  EXPECT_EQ(read_sample_i16(frame.data(), 7, f), 200);
}

TEST(Samples, MonoIsTheMeanOfEveryChannel) {
  EXPECT_EQ(mono_sample(frames_of<float>({0.5f, -0.5f}).data(), {48000, 2, 8, SampleKind::f32}), 0.0f);
  EXPECT_FLOAT_EQ(mono_sample(frames_of<std::int16_t>({16384, 0}).data(), {48000, 2, 4, SampleKind::i16}), 0.25f);
  EXPECT_FLOAT_EQ(mono_sample(frames_of<std::int32_t>({INT32_MIN}).data(), {48000, 1, 4, SampleKind::i32}), -1.0f);
  const Bytes six = frames_of<float>({0.6f, 0.6f, 0.6f, 0.6f, 0.6f, 0.6f});
  EXPECT_FLOAT_EQ(mono_sample(six.data(), {48000, 6, 24, SampleKind::f32}), 0.6f);
}

}  // namespace
}  // namespace orvelle::clips
