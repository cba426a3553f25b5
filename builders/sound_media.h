#pragma once
// The sound of a sound member: its "snd " chunk (sound_resource.h), exported as
// "<stem>-<cast number>.wav" (wav_file.h) and rebuilt from that file with the old resource's
// format and commands.

#include "builders/build_context.h"
#include "builders/cast_media.h"
#include "builders/manifest_row.h"
#include "builders/media_export.h"

namespace quillon {

inline constexpr char kTypeSound[] = "snd ";

// Logs "Cast ...: snd =" with the frames, rate, bits and channels of the sound that goes out,
// or "unsupported!!!" for a chunk without a header the tool reads (whose file is not read);
// rebuilds the chunk from the WAV file when there is one, which is logged with its reason when
// it cannot be used.
void BuildSoundChunk(const BuildContext& context, const CastMedia& media, ImportedChunk& imported);

// The WAV file, when the run would rebuild the chunk from it byte for byte; else the row's note
// says why not ("linked: <file>", "compressed sound", ...), and the chunk goes out raw.
void ExportSound(const ExportContext& context, const CastMedia& media, ManifestRow& row,
                 ExportedFile& file);

}  // namespace quillon
