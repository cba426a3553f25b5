#include "builders/sound_resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillon {
namespace {

using Bytes = std::vector<uint8_t>;

void PutU16(Bytes& out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value >> 8));
  out.push_back(static_cast<uint8_t>(value));
}
void PutU32(Bytes& out, uint32_t value) {
  PutU16(out, value >> 16);
  PutU16(out, value & 0xFFFF);
}

// A sampled sound's resource as Director writes it: format 1 (one sampled-synth data type with
// init options 0x80) or 2, one bufferCmd, then the header and the samples.
Bytes MakeResource(uint16_t format, uint8_t encode, uint16_t channels, uint16_t bits,
                   uint32_t frames, uint32_t rate_word) {
  Bytes out;
  PutU16(out, format);
  if (format == 1) {
    PutU16(out, 1);
    PutU16(out, 5);
    PutU32(out, channels == 2 ? 0xC0 : 0x80);
  } else {
    PutU16(out, 0);
  }
  PutU16(out, 1);
  PutU16(out, 0x8051);
  PutU16(out, 0);
  PutU32(out, static_cast<uint32_t>(out.size() + 4));
  PutU32(out, 0);
  PutU32(out, encode == 0 ? frames : channels);
  PutU32(out, rate_word);
  PutU32(out, 0);
  PutU32(out, frames);
  out.push_back(encode);
  out.push_back(60);
  if (encode == 0xFF) {
    PutU32(out, frames);
    uint32_t top = 31;
    while ((rate_word >> top) == 0) --top;
    PutU16(out, 16383 + top - 16);  // the 80-bit rate: exponent, then the mantissa's top bits
    PutU32(out, rate_word << (31 - top));
    PutU32(out, 0);
    out.insert(out.end(), 12, 0);
    PutU16(out, bits);
    out.insert(out.end(), 14, 0);
  }
  for (uint32_t i = 0; i < frames * channels * (bits / 8u); ++i) {
    out.push_back(static_cast<uint8_t>(i * 7));
  }
  return out;
}

struct RebuildCase {
  const char* name;
  uint16_t format;
  uint8_t encode;
  uint16_t channels;
  uint16_t bits;
  uint32_t rate_word;
};

class SoundRebuildTest : public ::testing::TestWithParam<RebuildCase> {};

// Every header read and rebuilt from its own samples gives the resource back byte for byte;
// with the samples of another form, the right header at the new rate.
TEST_P(SoundRebuildTest, GivesTheResourceBackAndTakesOtherForms) {
  const RebuildCase& c = GetParam();
  const Bytes data = MakeResource(c.format, c.encode, c.channels, c.bits, 5, c.rate_word);
  SoundResource old;
  ASSERT_EQ(ReadSoundResource(ByteReader(data.data(), data.size()), old), SoundStatus::kOk);
  EXPECT_EQ(old.channels, c.channels);
  EXPECT_EQ(old.bits, c.bits);
  EXPECT_EQ(old.frames, 5u);
  Bytes rebuilt;
  AppendSoundResource(old, ByteReader(data.data(), data.size()), SoundOfResource(old), rebuilt);
  EXPECT_EQ(rebuilt, data);

  PcmSound stereo{44100, 2, 16, 3, Bytes(12, 0x11), SoundLoop{1, 2}};
  Bytes other;
  AppendSoundResource(old, ByteReader(data.data(), data.size()), stereo, other);
  SoundResource back;
  ASSERT_EQ(ReadSoundResource(ByteReader(other.data(), other.size()), back), SoundStatus::kOk);
  EXPECT_TRUE(back.extended);
  EXPECT_EQ(back.format, c.format);
  EXPECT_EQ(back.rate_word, 0xAC440000u);
  EXPECT_EQ(back.channels, 2u);
  EXPECT_EQ(back.frames, 3u);
  EXPECT_EQ(back.loop.start, 1u);
  EXPECT_EQ(back.loop.end, 2u);
  EXPECT_EQ(back.base_frequency, 60u);
  // The 80-bit rate: 44100 = 1.3458... x 2^15.
  EXPECT_EQ(other[back.header_offset + 26], 0x40);
  EXPECT_EQ(other[back.header_offset + 27], 0x0E);
  EXPECT_EQ(other[back.header_offset + 28], 0xAC);
  if (c.format == 1) {
    EXPECT_EQ(other[9], 0xC0);  // init options: stereo
  }
}

INSTANTIATE_TEST_SUITE_P(
    Headers, SoundRebuildTest,
    ::testing::Values(RebuildCase{"standard_22k", 2, 0x00, 1, 8, 0x56EE8BA4},
                      RebuildCase{"standard_format1", 1, 0x00, 1, 8, 0x2B7745D2},
                      RebuildCase{"extended_8bit_mono", 2, 0xFF, 1, 8, 0x56EE0000},
                      RebuildCase{"extended_16bit_stereo", 2, 0xFF, 2, 16, 0x56220000},
                      RebuildCase{"extended_format1_stereo", 1, 0xFF, 2, 8, 0x1CFA2E8B}),
    [](const ::testing::TestParamInfo<RebuildCase>& test) { return test.param.name; });

TEST(SoundRebuild, KeepsTheOldRateWordOnlyForTheOldRateRounded) {
  const Bytes data = MakeResource(2, 0x00, 1, 8, 2, 0x56EE8BA4);
  SoundResource old;
  ASSERT_EQ(ReadSoundResource(ByteReader(data.data(), data.size()), old), SoundStatus::kOk);
  for (const auto& [rate, word] : {std::pair<uint32_t, uint32_t>{22255, 0x56EE8BA4},
                                   {22254, 0x56EE0000}, {22050, 0x56220000}}) {
    Bytes out;
    AppendSoundResource(old, ByteReader(data.data(), data.size()),
                        PcmSound{rate, 1, 8, 2, {1, 2}, {}}, out);
    EXPECT_EQ(LoadU32Be(out.data() + old.header_offset + 8), word) << rate;
    EXPECT_EQ(out.size(), data.size());  // 8-bit mono in a standard header
  }
}

TEST(SoundResourceReader, RefusesWhatItCannotRead) {
  const Bytes good = MakeResource(2, 0x00, 1, 8, 4, 0x56EE8BA4);
  const auto status = [](Bytes data) {
    SoundResource sound;
    return std::string(DescribeSoundStatus(ReadSoundResource(ByteReader(data.data(),
                                                                        data.size()), sound)));
  };
  Bytes compressed = good;
  compressed[14 + 20] = 0xFE;
  Bytes other_encode = good;
  other_encode[14 + 20] = 0x01;
  Bytes other_command = good;
  other_command[7] = 0x52;
  Bytes two_commands = good;
  two_commands[5] = 2;
  Bytes header_in_commands = good;
  header_in_commands[13] = 8;
  Bytes short_samples(good.begin(), good.end() - 1);
  Bytes zero_rate = MakeResource(2, 0x00, 1, 8, 4, 0x7FFF);
  Bytes three_channels = MakeResource(2, 0xFF, 3, 8, 4, 0x56EE0000);
  Bytes format3 = good;
  format3[1] = 3;
  EXPECT_EQ(status({}), "linked sound");
  EXPECT_EQ(status(compressed), "compressed sound");
  for (const Bytes& data : {other_encode, other_command, two_commands, header_in_commands,
                            short_samples, zero_rate, three_channels, format3, Bytes{0, 2}}) {
    EXPECT_EQ(status(data), "unsupported sound");
  }
}

}  // namespace
}  // namespace quillon
