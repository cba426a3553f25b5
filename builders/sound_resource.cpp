#include "builders/sound_resource.h"

namespace quillon {

namespace {

constexpr uint16_t kBufferCmd = 0x8051;
constexpr uint16_t kSoundCmd = 0x8050;
constexpr size_t kCommandSize = 8;
constexpr size_t kDataTypeSize = 6;
constexpr uint16_t kSampledSynth = 5;
constexpr uint32_t kInitChannelBits = 0xC0;
constexpr uint32_t kInitMono = 0x80;
constexpr uint32_t kInitStereo = 0xC0;

constexpr uint8_t kStandardEncode = 0x00;
constexpr uint8_t kExtendedEncode = 0xFF;
constexpr uint8_t kCompressedEncode = 0xFE;
constexpr uint8_t kBaseFrequency = 60;

// Offsets within a sound header.
enum HeaderField : size_t {
  kLengthOrChannels = 4, kRate = 8, kLoopStart = 12, kLoopEnd = 16, kEncode = 20,
  kBase = 21, kStandardSize = 22, kFrames = 22, kExtendedRate = 26, kSampleSize = 48,
  kExtendedSize = 64,
};

// The offset of the command count: after format 1's data types, or format 2's reference count.
bool CommandCountOffset(const ByteReader& data, uint16_t format, size_t& offset) {
  if (format == 2) {
    offset = 4;
    return true;
  }
  uint16_t data_types = 0;
  if (format != 1 || !data.U16Be(2, data_types)) return false;
  offset = 4 + kDataTypeSize * data_types;
  return true;
}

// The offset of the one sampled-sound command's header, which must lie past the commands.
bool SampledSoundHeader(const ByteReader& data, SoundResource& sound) {
  size_t count_offset = 0;
  uint16_t count = 0;
  uint16_t command = 0;
  uint32_t header = 0;
  if (!data.U16Be(0, sound.format) || !CommandCountOffset(data, sound.format, count_offset) ||
      !data.U16Be(count_offset, count) || count != 1 ||
      !data.U16Be(count_offset + 2, command) || (command != kBufferCmd && command != kSoundCmd) ||
      !data.U32Be(count_offset + 2 + 4, header)) {
    return false;
  }
  sound.header_offset = header;
  return sound.header_offset >= count_offset + 2 + kCommandSize;
}

bool ReadExtendedFields(const ByteReader& data, size_t header, SoundResource& sound) {
  uint32_t channels = 0;
  if (!data.Has(header, kExtendedSize) || !data.U32Be(header + kLengthOrChannels, channels) ||
      !data.U32Be(header + kFrames, sound.frames) ||
      !data.U16Be(header + kSampleSize, sound.bits)) {
    return false;
  }
  sound.channels = static_cast<uint16_t>(channels);
  return (channels == 1 || channels == 2) && (sound.bits == 8 || sound.bits == 16);
}

// The samples behind the header: frames x channels x bits / 8 bytes within the data.
bool FindSamples(const ByteReader& data, size_t offset, SoundResource& sound) {
  uint64_t length = 0;
  if (!CheckedMul<uint64_t>(sound.frames, uint64_t{sound.channels} * (sound.bits / 8), length) ||
      !data.Has(offset, length)) {
    return false;
  }
  sound.samples = ByteReader(data.data() + offset, static_cast<size_t>(length));
  return true;
}

// The rate as an 80-bit extended float: sign and exponent, then a 64-bit mantissa whose top
// bit is the integer bit.
void StoreExtendedRate(uint8_t* p, uint32_t rate_word) {
  for (int i = 0; i < 10; ++i) p[i] = 0;
  if (rate_word == 0) return;
  int top = 31;
  while ((rate_word >> top) == 0) --top;
  StoreU16Be(p, static_cast<uint16_t>(16383 + top - 16));
  const uint64_t mantissa = uint64_t{rate_word} << (63 - top);
  for (int i = 0; i < 8; ++i) p[2 + i] = static_cast<uint8_t>(mantissa >> (56 - 8 * i));
}

// Format 1's sampled-synth data types say whether the sound is mono or stereo.
void SetInitChannels(std::vector<uint8_t>& out, size_t start, uint16_t channels) {
  const ByteReader data(out.data() + start, out.size() - start);
  uint16_t data_types = 0;
  data.U16Be(2, data_types);
  for (uint16_t i = 0; i < data_types; ++i) {
    const size_t entry = 4 + kDataTypeSize * i;
    uint16_t type = 0;
    uint32_t options = 0;
    if (!data.U16Be(entry, type) || !data.U32Be(entry + 2, options)) return;
    if (type != kSampledSynth) continue;
    options = (options & ~kInitChannelBits) | (channels == 2 ? kInitStereo : kInitMono);
    StoreU32Be(out.data() + start + entry + 2, options);
  }
}

}  // namespace

const char* DescribeSoundStatus(SoundStatus status) {
  switch (status) {
    case SoundStatus::kLinked:
      return "linked sound";
    case SoundStatus::kCompressed:
      return "compressed sound";
    case SoundStatus::kUnsupported:
      return "unsupported sound";
    case SoundStatus::kOk:
      break;
  }
  return nullptr;
}

uint32_t RoundedRate(uint32_t rate_word) { return (rate_word >> 16) + (rate_word >> 15 & 1); }

SoundStatus ReadSoundResource(const ByteReader& data, SoundResource& sound) {
  sound = SoundResource();
  if (data.size() == 0) return SoundStatus::kLinked;
  if (!SampledSoundHeader(data, sound)) return SoundStatus::kUnsupported;
  const size_t header = sound.header_offset;
  uint8_t encode = 0;
  if (!data.Has(header, kStandardSize) || !data.U8(header + kEncode, encode)) {
    return SoundStatus::kUnsupported;
  }
  if (encode == kCompressedEncode) return SoundStatus::kCompressed;
  data.U32Be(header + kRate, sound.rate_word);
  data.U32Be(header + kLoopStart, sound.loop.start);
  data.U32Be(header + kLoopEnd, sound.loop.end);
  data.U8(header + kBase, sound.base_frequency);
  sound.extended = encode == kExtendedEncode;
  size_t samples = header + kStandardSize;
  if (sound.extended) {
    if (!ReadExtendedFields(data, header, sound)) return SoundStatus::kUnsupported;
    samples = header + kExtendedSize;
  } else if (encode == kStandardEncode) {
    data.U32Be(header + kLengthOrChannels, sound.frames);
    sound.channels = 1;
    sound.bits = 8;
  } else {
    return SoundStatus::kUnsupported;
  }
  const uint32_t rate = RoundedRate(sound.rate_word);
  if (rate == 0 || rate > 0xFFFF || !FindSamples(data, samples, sound)) {
    return SoundStatus::kUnsupported;
  }
  return SoundStatus::kOk;
}

PcmSound SoundOfResource(const SoundResource& resource) {
  PcmSound sound;
  sound.rate = RoundedRate(resource.rate_word);
  sound.channels = resource.channels;
  sound.bits = resource.bits;
  sound.frames = resource.frames;
  sound.samples.assign(resource.samples.data(), resource.samples.data() + resource.samples.size());
  if (resource.loop.start != 0 || resource.loop.end != resource.frames) sound.loop = resource.loop;
  return sound;
}

void AppendSoundResource(const SoundResource& old, const ByteReader& old_data,
                         const PcmSound& sound, std::vector<uint8_t>& out) {
  const size_t start = out.size();
  out.insert(out.end(), old_data.data(), old_data.data() + old.header_offset);
  if (old.format == 1) SetInitChannels(out, start, sound.channels);
  // An extended header stays one, so that an unchanged sound comes back byte for byte.
  const bool extended = old.extended || sound.channels != 1 || sound.bits != 8;
  const size_t header = out.size();
  out.resize(header + (extended ? kExtendedSize : kStandardSize), 0);
  uint8_t* p = out.data() + header;
  // A rate the old one rounds to keeps Director's exact word (0x56EE8BA4 for 22255 Hz).
  const uint32_t rate_word =
      sound.rate == RoundedRate(old.rate_word) ? old.rate_word : sound.rate << 16;
  const SoundLoop loop = sound.loop.value_or(SoundLoop{0, sound.frames});
  StoreU32Be(p + kLengthOrChannels, extended ? sound.channels : sound.frames);
  StoreU32Be(p + kRate, rate_word);
  StoreU32Be(p + kLoopStart, loop.start);
  StoreU32Be(p + kLoopEnd, loop.end);
  p[kEncode] = extended ? kExtendedEncode : kStandardEncode;
  p[kBase] = kBaseFrequency;
  if (extended) {
    StoreU32Be(p + kFrames, sound.frames);
    StoreExtendedRate(p + kExtendedRate, rate_word);
    StoreU16Be(p + kSampleSize, sound.bits);
  }
  out.insert(out.end(), sound.samples.begin(), sound.samples.end());
}

}  // namespace quillon
