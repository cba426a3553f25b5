#include "builders/sound_media.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "builders/chunk.h"
#include "builders/log_lines.h"
#include "builders/replacement_names.h"
#include "builders/sound_resource.h"
#include "builders/wav_file.h"
#include "container/cast_members.h"
#include "container/member_info.h"
#include "container/movie.h"
#include "util/file_io.h"

namespace quillon {

namespace {

constexpr char kSuffix[] = ".wav";

// What the log line and the manifest say of a sound.
struct SoundFacts {
  uint32_t frames;
  uint32_t rate;
  uint32_t bits;
  uint32_t channels;
};

SoundFacts FactsOf(const PcmSound& sound) {
  return {sound.frames, sound.rate, sound.bits, sound.channels};
}
SoundFacts FactsOf(const SoundResource& resource) {
  return {resource.frames, RoundedRate(resource.rate_word), resource.bits, resource.channels};
}

const char* ChannelsName(uint32_t channels) { return channels == 2 ? "stereo" : "mono"; }

std::string DescribeFacts(const SoundFacts& facts) {
  char text[96];
  std::snprintf(text, sizeof text, "%u Hz, %u-bit, %s, %u frames", facts.rate, facts.bits,
                ChannelsName(facts.channels), facts.frames);
  return text;
}

// The new chunk for `sound` from the old resource.
Chunk MakeSoundChunk(const SoundResource& old, const ByteReader& old_data, const PcmSound& sound,
                     ByteOrder order) {
  Chunk chunk = MakeChunk(kTypeSound, 0, order);
  AppendSoundResource(old, old_data, sound, chunk);
  SetChunkDataLength(chunk, order);
  return chunk;
}

// The chunk rebuilt from the WAV file at `path`. False when there is none: `reason` is then why
// the file cannot be used, or empty when there is no file.
bool RebuildFromFile(const std::string& path, const SoundResource& old, const ByteReader& data,
                     ByteOrder order, PcmSound& sound, Chunk& chunk, std::string& reason) {
  try {
    std::vector<uint8_t> file;
    const ReadFileStatus status = ReadWholeFile(path, kMaxWavLength, file);
    if (const char* failure = DescribeReadFailure(status)) reason = failure;
    if (status != ReadFileStatus::kOk) return false;
    const WavStatus wav = ReadWavFile(ByteReader(file.data(), file.size()), sound);
    if (const char* refusal = DescribeWavStatus(wav)) {
      reason = refusal;
      return false;
    }
    chunk = MakeSoundChunk(old, data, sound, order);
    return true;
  } catch (const std::bad_alloc&) {
    // Caught here rather than by the cast pass, so that the member's line comes first.
    reason = "out of memory";
    return false;
  }
}

// The name of the file a linked sound plays, from its member's info.
std::string LinkedFileName(const CastTables& tables, uint32_t member_entry) {
  ByteReader member;
  std::string name;
  if (!tables.ChildData(member_entry, member) ||
      !ReadMemberInfoString(member, kInfoLinkedFile, name)) {
    return "unknown file";
  }
  return name;
}

// True when the WAV file reads back into `data` byte for byte.
bool ComesBack(const std::vector<uint8_t>& wav, const SoundResource& resource,
               const ByteReader& data) {
  PcmSound sound;
  if (ReadWavFile(ByteReader(wav.data(), wav.size()), sound) != WavStatus::kOk) return false;
  std::vector<uint8_t> rebuilt;
  AppendSoundResource(resource, data, sound, rebuilt);
  return rebuilt.size() == data.size() && data.Matches(0, rebuilt.data(), rebuilt.size());
}

}  // namespace

void BuildSoundChunk(const BuildContext& context, const CastMedia& media, ImportedChunk& imported) {
  // Cast numbers come from slots of a table shorter than 4 GiB: they fit an int.
  const int cast_number = static_cast<int>(media.cast_number);
  ByteReader data;
  SoundResource old;
  if (context.tables == nullptr || !context.tables->ChildData(media.child, data) ||
      ReadSoundResource(data, old) != SoundStatus::kOk) {
    context.report.Write(kSoundUnsupported, cast_number, media.member_entry, media.child);
    return;
  }
  const std::string path = context.MemberFile(media.cast_number, kSuffix);
  context.ShowFile(path, imported);
  PcmSound sound;
  Chunk chunk;
  std::string reason;
  const bool rebuilt =
      RebuildFromFile(path, old, data, context.order(), sound, chunk, reason);
  const SoundFacts facts = rebuilt ? FactsOf(sound) : FactsOf(old);
  context.report.Write(kSoundLine, cast_number, media.member_entry, media.child, facts.frames,
                    facts.rate, facts.bits, ChannelsName(facts.channels));
  if (!reason.empty()) context.LogUnusableFile(path, reason.c_str());
  if (rebuilt) imported.chunk = std::move(chunk);
}

void ExportSound(const ExportContext& context, const CastMedia& media, ManifestRow& row,
                 ExportedFile& file) {
  ByteReader data;
  if (!context.tables.ChildData(media.child, data)) {
    row.note = "chunk lies outside the file";
    return;
  }
  SoundResource resource;
  const SoundStatus status = ReadSoundResource(data, resource);
  if (status == SoundStatus::kLinked) {
    row.note = "linked: " + LinkedFileName(context.tables, media.member_entry);
    return;
  }
  if (const char* refusal = DescribeSoundStatus(status)) {
    row.note = refusal;
    return;
  }
  std::vector<uint8_t> wav = MakeWavFile(SoundOfResource(resource));
  if (!ComesBack(wav, resource, data)) {
    row.note = "sound would not come back byte for byte from its WAV file";
    return;
  }
  row.note = DescribeFacts(FactsOf(resource));
  file.Take(ReplacementFileName(context.stem, media.cast_number, kSuffix), std::move(wav));
}

}  // namespace quillon
