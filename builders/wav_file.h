#pragma once
// WAV files of sounds: written as PCM at the sound's own 8 or 16 bits, read from what audio
// editors save: PCM at 8, 16, 24 or 32 bits, 32-bit float, or WAVE_FORMAT_EXTENSIBLE with
// either, 1 or 2 channels, 1 to 65535 Hz. Wider samples become 16-bit (rounded, clipped).
// A "smpl" chunk carries a loop other than the whole sound.

#include <cstdint>
#include <vector>

#include "builders/sound_resource.h"
#include "util/byte_reader.h"

namespace quillon {

enum class WavStatus {
  kOk,
  kNotWav,
  kTruncated,
  kUnsupportedEncoding,
  kTooManyChannels,
  kTooLarge,
  kOutOfMemory,
};

// The reason a file is refused: "not a WAV file", "truncated", ...; null for kOk.
const char* DescribeWavStatus(WavStatus status);

// Files longer than this are refused before anything is decoded.
inline constexpr uint64_t kMaxWavLength = uint64_t{1} << 30;

// The WAV file of `sound`: 8-bit samples as they are, 16-bit ones little-endian.
std::vector<uint8_t> MakeWavFile(const PcmSound& sound);

// Reads a WAV file into `sound`; a trailing part frame is dropped. Never throws.
WavStatus ReadWavFile(const ByteReader& file, PcmSound& sound);

}  // namespace quillon
