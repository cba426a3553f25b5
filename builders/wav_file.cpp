#include "builders/wav_file.h"

#include <cmath>
#include <cstring>
#include <new>
#include <utility>

namespace quillon {

namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatFloat = 3;
constexpr uint16_t kFormatExtensible = 0xFFFE;
// The GUID of an extensible format's subformat after its first two bytes, the format code.
constexpr uint8_t kSubformatSuffix[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                          0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
constexpr size_t kChunkHead = 8;
constexpr size_t kWavHeadSize = 44;  // RIFF, fmt and data heads
constexpr size_t kFmtSize = 16;
constexpr size_t kExtensibleFmtSize = 40;
constexpr size_t kSmplSize = 36;
constexpr size_t kSmplLoopSize = 24;
constexpr uint32_t kUnityNote = 60;

// Offsets within the chunks read.
enum FmtField : size_t {
  kFormatTag = 0, kChannels = 2, kSampleRate = 4, kBitsPerSample = 14, kSubformat = 24,
};
enum SmplField : size_t { kLoopCount = 28, kFirstLoopStart = 36 + 8, kFirstLoopEnd = 36 + 12 };

void PutTag(std::vector<uint8_t>& out, const char* tag) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(tag[i]));
}
void PutU16(std::vector<uint8_t>& out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}
void PutU32(std::vector<uint8_t>& out, uint32_t value) {
  PutU16(out, value & 0xFFFF);
  PutU16(out, value >> 16);
}

void PutSmpl(std::vector<uint8_t>& out, uint32_t rate, const SoundLoop& loop) {
  PutTag(out, "smpl");
  PutU32(out, kSmplSize + kSmplLoopSize);
  const uint32_t header[9] = {0, 0, 1000000000u / rate, kUnityNote, 0, 0, 0, 1, 0};
  for (uint32_t word : header) PutU32(out, word);
  // The loop's ends as the resource holds them, so that they come back as they were.
  const uint32_t first_loop[6] = {0, 0, loop.start, loop.end, 0, 0};
  for (uint32_t word : first_loop) PutU32(out, word);
}

struct WavChunks {
  ByteReader fmt;
  ByteReader data;
  ByteReader smpl;
  bool has_fmt = false;
  bool has_data = false;
  bool data_cut = false;  // the data chunk runs past the file's end
};

// The chunks after "RIFF" <size> "WAVE", each padded to an even length.
WavChunks FindChunks(const ByteReader& file) {
  WavChunks chunks;
  uint64_t offset = 12;
  uint32_t size = 0;
  while (file.U32Le(offset + 4, size)) {
    const uint64_t body = offset + kChunkHead;
    const uint64_t available = file.size() - body;
    const ByteReader chunk(file.data() + body, size <= available ? size : available);
    if (file.Matches(offset, "fmt ", 4)) {
      chunks.fmt = chunk;
      chunks.has_fmt = true;
    } else if (file.Matches(offset, "data", 4)) {
      chunks.data = chunk;
      chunks.has_data = true;
      chunks.data_cut = size > available;
    } else if (file.Matches(offset, "smpl", 4)) {
      chunks.smpl = chunk;
    }
    offset = body + size + (size & 1);
  }
  return chunks;
}

struct WavFormat {
  uint16_t code = 0;  // PCM or float
  uint16_t channels = 0;
  uint32_t rate = 0;
  uint16_t bits = 0;
};

WavStatus ReadFormat(const ByteReader& fmt, WavFormat& format) {
  if (!fmt.Has(0, kFmtSize)) return WavStatus::kTruncated;
  fmt.U16Le(kFormatTag, format.code);
  fmt.U16Le(kChannels, format.channels);
  fmt.U32Le(kSampleRate, format.rate);
  fmt.U16Le(kBitsPerSample, format.bits);
  if (format.code == kFormatExtensible) {
    if (!fmt.Has(0, kExtensibleFmtSize)) return WavStatus::kTruncated;
    fmt.U16Le(kSubformat, format.code);
    if (!fmt.Matches(kSubformat + 2, kSubformatSuffix, sizeof kSubformatSuffix)) {
      return WavStatus::kUnsupportedEncoding;
    }
  }
  const bool pcm = format.code == kFormatPcm && format.bits % 8 == 0 && format.bits >= 8 &&
                   format.bits <= 32;
  const bool float32 = format.code == kFormatFloat && format.bits == 32;
  if ((!pcm && !float32) || format.channels == 0 || format.rate == 0 || format.rate > 0xFFFF) {
    return WavStatus::kUnsupportedEncoding;
  }
  return format.channels > 2 ? WavStatus::kTooManyChannels : WavStatus::kOk;
}

// A signed sample of `bits` bits to 16 bits, rounded half up and clipped; computed on the
// value biased to be positive, so that every shift is of a non-negative number.
int32_t NarrowToSixteen(int64_t value, int bits) {
  const int shift = bits - 16;
  const int64_t biased = value + (int64_t{1} << (bits - 1));
  const int64_t narrowed = ((biased + (int64_t{1} << (shift - 1))) >> shift) - 32768;
  return static_cast<int32_t>(narrowed > 32767 ? 32767 : narrowed);
}

int32_t FloatToSixteen(uint32_t bits) {
  float value = 0;
  std::memcpy(&value, &bits, sizeof value);
  if (std::isnan(value)) return 0;
  const double scaled = static_cast<double>(value) * 32768.0;
  if (scaled <= -32768.0) return -32768;
  if (scaled >= 32767.0) return 32767;
  return static_cast<int32_t>(std::lround(scaled));
}

// One sample as a signed 16-bit value (from 16, 24 or 32 bits).
int32_t SixteenBitSample(const uint8_t* p, const WavFormat& format) {
  switch (format.bits) {
    case 16:
      return static_cast<int16_t>(LoadU16Le(p));
    case 24:
      return NarrowToSixteen(static_cast<int32_t>(LoadLe(p, 3) << 8) / 256, 24);
    default:
      if (format.code == kFormatFloat) return FloatToSixteen(LoadU32Le(p));
      return NarrowToSixteen(static_cast<int32_t>(LoadU32Le(p)), 32);
  }
}

void DecodeSamples(const ByteReader& data, const WavFormat& format, PcmSound& sound) {
  const size_t count = size_t{sound.frames} * format.channels;
  const size_t in_size = format.bits / 8u;
  if (format.bits == 8) {
    sound.samples.assign(data.data(), data.data() + count);
    return;
  }
  sound.samples.resize(count * 2);
  for (size_t i = 0; i < count; ++i) {
    const int32_t value = SixteenBitSample(data.data() + i * in_size, format);
    StoreU16Be(sound.samples.data() + 2 * i, static_cast<uint16_t>(value));
  }
}

// The first loop of a "smpl" chunk, within the sound.
void ReadLoop(const ByteReader& smpl, PcmSound& sound) {
  uint32_t loops = 0;
  SoundLoop loop;
  if (!smpl.U32Le(kLoopCount, loops) || loops == 0 ||
      !smpl.U32Le(kFirstLoopStart, loop.start) || !smpl.U32Le(kFirstLoopEnd, loop.end)) {
    return;
  }
  loop.start = loop.start < sound.frames ? loop.start : sound.frames;
  loop.end = loop.end < sound.frames ? loop.end : sound.frames;
  sound.loop = loop;
}

}  // namespace

const char* DescribeWavStatus(WavStatus status) {
  switch (status) {
    case WavStatus::kNotWav:
      return "not a WAV file";
    case WavStatus::kTruncated:
      return "truncated";
    case WavStatus::kUnsupportedEncoding:
      return "unsupported WAV encoding";
    case WavStatus::kTooManyChannels:
      return "more than 2 channels";
    case WavStatus::kTooLarge:
      return "too large";
    case WavStatus::kOutOfMemory:
      return "out of memory";
    case WavStatus::kOk:
      break;
  }
  return nullptr;
}

std::vector<uint8_t> MakeWavFile(const PcmSound& sound) {
  const uint32_t data_size = static_cast<uint32_t>(sound.samples.size());
  const uint32_t block = sound.channels * (sound.bits / 8u);
  std::vector<uint8_t> out;
  out.reserve(kWavHeadSize + data_size + 1 + kChunkHead + kSmplSize + kSmplLoopSize);
  PutTag(out, "RIFF");
  PutU32(out, 0);  // set once the file is whole
  PutTag(out, "WAVE");
  PutTag(out, "fmt ");
  PutU32(out, kFmtSize);
  PutU16(out, kFormatPcm);
  PutU16(out, sound.channels);
  PutU32(out, sound.rate);
  PutU32(out, sound.rate * block);
  PutU16(out, block);
  PutU16(out, sound.bits);
  PutTag(out, "data");
  PutU32(out, data_size);
  const size_t samples = out.size();
  out.insert(out.end(), sound.samples.begin(), sound.samples.end());
  if (sound.bits == 16) {
    for (size_t i = samples; i + 1 < out.size(); i += 2) std::swap(out[i], out[i + 1]);
  }
  if (data_size % 2 != 0) out.push_back(0);
  if (sound.loop) PutSmpl(out, sound.rate, *sound.loop);
  StoreU32Le(out.data() + 4, static_cast<uint32_t>(out.size() - 8));
  return out;
}

WavStatus ReadWavFile(const ByteReader& file, PcmSound& sound) {
  sound = PcmSound();
  if (file.size() > kMaxWavLength) return WavStatus::kTooLarge;
  if (!file.Matches(0, "RIFF", 4) || !file.Matches(8, "WAVE", 4)) return WavStatus::kNotWav;
  const WavChunks chunks = FindChunks(file);
  if (!chunks.has_fmt || !chunks.has_data || chunks.data_cut) return WavStatus::kTruncated;
  WavFormat format;
  if (const WavStatus status = ReadFormat(chunks.fmt, format); status != WavStatus::kOk) {
    return status;
  }
  sound.rate = format.rate;
  sound.channels = format.channels;
  sound.bits = format.bits == 8 ? 8 : 16;
  // Within 1 GiB: the frame count fits 32 bits.
  sound.frames = static_cast<uint32_t>(chunks.data.size() / (format.channels * format.bits / 8u));
  try {
    DecodeSamples(chunks.data, format, sound);
  } catch (const std::bad_alloc&) {
    sound = PcmSound();
    return WavStatus::kOutOfMemory;
  }
  ReadLoop(chunks.smpl, sound);
  return WavStatus::kOk;
}

}  // namespace quillon
