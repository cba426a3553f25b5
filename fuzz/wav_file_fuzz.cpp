// Reads arbitrary bytes as a WAV file (an exactly sized copy, so that ASan sees any overrun)
// and, when they read, writes the sound as a WAV file again: it must read back the same.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "builders/wav_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto copy = std::make_unique<uint8_t[]>(size);
  if (size > 0) std::memcpy(copy.get(), data, size);
  quillon::PcmSound sound;
  if (quillon::ReadWavFile(quillon::ByteReader(copy.get(), size), sound) !=
      quillon::WavStatus::kOk) {
    return 0;
  }
  if (sound.samples.size() != size_t{sound.frames} * sound.channels * (sound.bits / 8u)) {
    std::abort();
  }
  const std::vector<uint8_t> file = quillon::MakeWavFile(sound);
  quillon::PcmSound back;
  if (quillon::ReadWavFile(quillon::ByteReader(file.data(), file.size()), back) !=
          quillon::WavStatus::kOk ||
      back.samples != sound.samples || back.rate != sound.rate ||
      back.channels != sound.channels || back.loop.has_value() != sound.loop.has_value()) {
    std::abort();
  }
  return 0;
}
