#pragma once
// A sound member's "snd " chunk: a classic Mac sound resource, big-endian in either byte order.
//   format 1: u16 1, u16 d, d x (u16 data type, u32 init options), u16 c, c commands
//   format 2: u16 2, u16 reference count, u16 c, c commands
//   command: u16 cmd, u16 param1, u32 param2; a sampled sound has one bufferCmd (0x8051) or
//            soundCmd (0x8050) whose param2 is the offset of the sound header in the data.
// The header is standard (encode 0x00: 8-bit mono, 22 bytes), extended (0xFF: 64 bytes, with
// channels, frames, an 80-bit rate and the sample size) or compressed (0xFE), samples behind
// it: 8-bit unsigned or 16-bit signed big-endian, channels interleaved.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "util/byte_reader.h"

namespace quillon {

enum class SoundStatus {
  kOk,
  kLinked,        // an empty chunk: the sound lives in a file of its own
  kCompressed,    // a compressed header (MACE, IMA)
  kUnsupported,   // another command, format or header, or samples past the data
};

// "linked sound", "compressed sound", "unsupported sound"; null for kOk.
const char* DescribeSoundStatus(SoundStatus status);

struct SoundLoop {
  uint32_t start = 0;
  uint32_t end = 0;
};

// Samples as a sound resource holds them: 8-bit unsigned or 16-bit signed big-endian,
// channels interleaved.
struct PcmSound {
  uint32_t rate = 0;  // whole hertz, 1 to 65535
  uint16_t channels = 1;
  uint16_t bits = 8;
  uint32_t frames = 0;
  std::vector<uint8_t> samples;
  std::optional<SoundLoop> loop;  // none: from frame 0 to the end
};

struct SoundResource {
  uint16_t format = 0;
  size_t header_offset = 0;  // the header's offset in the data: format and commands before it
  bool extended = false;
  uint32_t rate_word = 0;  // unsigned 16.16 fixed point
  SoundLoop loop;
  uint8_t base_frequency = 0;
  uint16_t channels = 0;
  uint16_t bits = 0;
  uint32_t frames = 0;
  ByteReader samples;  // frames x channels x bits / 8 bytes
};

// Reads a "snd " chunk's data; kOk with every field set, 8 or 16 bits, 1 or 2 channels and a
// rate that rounds to 1 to 65535 Hz.
SoundStatus ReadSoundResource(const ByteReader& data, SoundResource& sound);

// The rate word rounded to whole hertz.
uint32_t RoundedRate(uint32_t rate_word);

// The samples and loop of a resource read, in whole hertz; a loop from 0 to the frame count is
// no loop.
PcmSound SoundOfResource(const SoundResource& resource);

// Appends to `out` the data of a new chunk for `sound` from the old resource `old` (its data
// `old_data`): the old format and commands, a standard header for 8-bit mono and an extended
// one otherwise, base frequency 60, the old rate word when the sound's rate is the old rate
// rounded. The sound's samples must number frames x channels x bits / 8.
void AppendSoundResource(const SoundResource& old, const ByteReader& old_data,
                         const PcmSound& sound, std::vector<uint8_t>& out);

}  // namespace quillon
