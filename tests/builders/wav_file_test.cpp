#include "builders/wav_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace quillon {
namespace {

using Bytes = std::vector<uint8_t>;

void Put(Bytes& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}
void PutChunk(Bytes& out, const char* id, const Bytes& body, uint32_t size) {
  out.insert(out.end(), id, id + 4);
  Put(out, size, 4);
  out.insert(out.end(), body.begin(), body.end());
  if (body.size() % 2 != 0) out.push_back(0);
}
Bytes Float(float value) {
  uint32_t bits = 0;
  std::memcpy(&bits, &value, 4);
  Bytes out;
  Put(out, bits, 4);
  return out;
}

// A WAV form: its format chunk's fields, then the chunks around its data.
struct WavForm {
  const char* name;
  uint16_t tag;  // 0xFFFE: extensible, with `subformat`
  uint16_t channels;
  uint32_t rate;
  uint16_t bits;
  Bytes data;
  const char* expected;  // the refusal, or "" with `samples`
  Bytes samples;
  uint16_t subformat;
  Bytes before;             // whole chunks before "fmt "
  uint32_t data_size_more;  // added to the data chunk's size field
  uint32_t fmt_size;
};

WavForm Form(const char* name, uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits,
             Bytes data, const char* expected, Bytes samples = {}) {
  return {name, tag, channels, rate, bits, std::move(data), expected, std::move(samples), 1, {},
          0, 16};
}
template <typename Change>
WavForm With(WavForm form, Change change) {
  change(form);
  return form;
}

Bytes MakeWav(const WavForm& form) {
  Bytes fmt;
  Put(fmt, form.tag, 2);
  Put(fmt, form.channels, 2);
  Put(fmt, form.rate, 4);
  Put(fmt, form.rate * form.channels * form.bits / 8, 4);
  Put(fmt, form.channels * form.bits / 8u, 2);
  Put(fmt, form.bits, 2);
  if (form.tag == 0xFFFE) {
    Put(fmt, 22, 2);
    Put(fmt, form.bits, 2);
    Put(fmt, 3, 4);
    Put(fmt, form.subformat, 2);
    const Bytes suffix = {0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
    fmt.insert(fmt.end(), suffix.begin(), suffix.end());
  }
  fmt.resize(form.tag == 0xFFFE ? 40 : form.fmt_size);
  Bytes out = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
  out.insert(out.end(), form.before.begin(), form.before.end());
  PutChunk(out, "fmt ", fmt, static_cast<uint32_t>(fmt.size()));
  PutChunk(out, "data", form.data, static_cast<uint32_t>(form.data.size()) + form.data_size_more);
  PutChunk(out, "LIST", {'I', 'N', 'F', 'O'}, 4);
  return out;
}

Bytes Junk() {
  Bytes out;
  PutChunk(out, "JUNK", {1, 2, 3}, 3);
  return out;
}

class WavFormTest : public ::testing::TestWithParam<WavForm> {};

TEST_P(WavFormTest, ReadsOrRefusesWithItsReason) {
  const WavForm& form = GetParam();
  const Bytes file = MakeWav(form);
  PcmSound sound;
  const WavStatus status = ReadWavFile(ByteReader(file.data(), file.size()), sound);
  if (*form.expected != '\0') {
    ASSERT_NE(DescribeWavStatus(status), nullptr);
    EXPECT_EQ(std::string(DescribeWavStatus(status)), form.expected);
    return;
  }
  ASSERT_EQ(status, WavStatus::kOk) << DescribeWavStatus(status);
  EXPECT_EQ(sound.rate, form.rate);
  EXPECT_EQ(sound.channels, form.channels);
  EXPECT_EQ(sound.bits, form.bits == 8 ? 8 : 16);
  EXPECT_EQ(sound.samples, form.samples);
  EXPECT_EQ(sound.frames, form.samples.size() / form.channels / (sound.bits / 8u));
  EXPECT_FALSE(sound.loop.has_value());
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

INSTANTIATE_TEST_SUITE_P(
    Forms, WavFormTest,
    ::testing::Values(
        With(Form("pcm8_odd", 1, 1, 22050, 8, {0, 0x80, 0xFF}, "", {0, 0x80, 0xFF}),
             [](WavForm& f) { f.before = Junk(); }),
        Form("pcm16_stereo", 1, 2, 44100, 16, {1, 2, 0xFF, 0x7F, 0, 0x80, 5, 6, 9}, "",
             {2, 1, 0x7F, 0xFF, 0x80, 0, 6, 5}),  // a part frame dropped
        // Rounded half up and clipped: 0x7FFFFF, 128, -129, -0x800000.
        Form("pcm24", 1, 1, 8000, 24, {0xFF, 0xFF, 0x7F, 0x80, 0, 0, 0x7F, 0xFF, 0xFF, 0, 0, 0x80},
             "", {0x7F, 0xFF, 0, 1, 0xFF, 0xFF, 0x80, 0}),
        Form("pcm32", 1, 1, 8000, 32, {0xFF, 0xFF, 0xFF, 0x7F, 0, 0x80, 0, 0, 0, 0, 0, 0x80}, "",
             {0x7F, 0xFF, 0, 1, 0x80, 0}),
        Form("float", 3, 1, 48000, 32,
             Concat({Float(1.0f), Float(-1.0f), Float(0.5f), Float(NAN), Float(-2.0f)}), "",
             {0x7F, 0xFF, 0x80, 0, 0x40, 0, 0, 0, 0x80, 0}),
        Form("extensible_pcm16", 0xFFFE, 1, 11025, 16, {0x34, 0x12}, "", {0x12, 0x34}),
        With(Form("extensible_float", 0xFFFE, 1, 11025, 32, Float(0.25f), "", {0x20, 0}),
             [](WavForm& f) { f.subformat = 3; }),
        With(Form("extensible_adpcm", 0xFFFE, 1, 11025, 4, {0}, "unsupported WAV encoding"),
             [](WavForm& f) { f.subformat = 2; }),
        Form("adpcm", 2, 1, 11025, 4, {0}, "unsupported WAV encoding"),
        Form("float64", 3, 1, 11025, 64, Bytes(8), "unsupported WAV encoding"),
        Form("no_rate", 1, 1, 0, 8, {0}, "unsupported WAV encoding"),
        Form("rate_65536", 1, 1, 65536, 8, {0}, "unsupported WAV encoding"),
        Form("six_channels", 1, 6, 44100, 16, Bytes(12), "more than 2 channels"),
        With(Form("data_past_the_end", 1, 1, 8000, 8, {1, 2}, "truncated"),
             [](WavForm& f) { f.data_size_more = 1000; }),
        With(Form("short_fmt", 1, 1, 8000, 8, {1, 2}, "truncated"),
             [](WavForm& f) { f.fmt_size = 14; })),
    [](const ::testing::TestParamInfo<WavForm>& test) { return test.param.name; });

TEST(WavFile, RefusesOtherFiles) {
  const auto reason = [](const Bytes& file) {
    PcmSound sound;
    const char* text = DescribeWavStatus(ReadWavFile(ByteReader(file.data(), file.size()), sound));
    return std::string(text != nullptr ? text : "ok");
  };
  EXPECT_EQ(reason({'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I', ' '}), "not a WAV file");
  EXPECT_EQ(reason({'R', 'I', 'F'}), "not a WAV file");
  EXPECT_EQ(reason({'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'}), "truncated");
  EXPECT_EQ(reason(Bytes()), "not a WAV file");
  // Only the length is looked at before a file is refused as too large.
  const uint8_t byte = 0;
  PcmSound sound;
  EXPECT_EQ(ReadWavFile(ByteReader(&byte, kMaxWavLength + 1), sound), WavStatus::kTooLarge);
}

TEST(WavFile, WritesWhatItReadsWithTheLoop) {
  for (const PcmSound& sound :
       {PcmSound{22255, 1, 8, 3, {1, 0x80, 0xFF}, SoundLoop{0, 2}},
        PcmSound{44100, 2, 16, 2, {0x80, 0, 0x7F, 0xFF, 0, 1, 0xFF, 0xFE}, {}}}) {
    const Bytes file = MakeWavFile(sound);
    EXPECT_EQ(file.size() % 2, 0u);
    EXPECT_EQ(LoadU32Le(file.data() + 4), file.size() - 8);
    PcmSound back;
    ASSERT_EQ(ReadWavFile(ByteReader(file.data(), file.size()), back), WavStatus::kOk);
    EXPECT_EQ(back.rate, sound.rate);
    EXPECT_EQ(back.channels, sound.channels);
    EXPECT_EQ(back.bits, sound.bits);
    EXPECT_EQ(back.frames, sound.frames);
    EXPECT_EQ(back.samples, sound.samples);
    ASSERT_EQ(back.loop.has_value(), sound.loop.has_value());
    if (sound.loop) {
      EXPECT_EQ(back.loop->end, sound.loop->end);
    }
  }
}

}  // namespace
}  // namespace quillon
