// Reads arbitrary bytes as a "snd " chunk's data (an exactly sized copy, so that ASan sees any
// overrun) and, when they read, rebuilds the resource from its own samples: the new one must
// read back with the same samples, and be the old one byte for byte when the samples fill it.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "builders/sound_resource.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto copy = std::make_unique<uint8_t[]>(size);
  if (size > 0) std::memcpy(copy.get(), data, size);
  const quillon::ByteReader old_data(copy.get(), size);
  quillon::SoundResource old;
  if (quillon::ReadSoundResource(old_data, old) != quillon::SoundStatus::kOk) return 0;
  const quillon::PcmSound sound = quillon::SoundOfResource(old);
  std::vector<uint8_t> rebuilt;
  quillon::AppendSoundResource(old, old_data, sound, rebuilt);
  quillon::SoundResource back;
  if (quillon::ReadSoundResource(quillon::ByteReader(rebuilt.data(), rebuilt.size()), back) !=
          quillon::SoundStatus::kOk ||
      back.frames != sound.frames || back.samples.size() != sound.samples.size() ||
      (!sound.samples.empty() &&
       std::memcmp(back.samples.data(), sound.samples.data(), sound.samples.size()) != 0)) {
    std::abort();
  }
  return 0;
}
