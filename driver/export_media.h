#pragma once
// The export of a movie's cast media: every owned chunk of a media kind that the run's cast pass
// would rebuild, written as the file the run reads for it.

#include <cstdint>
#include <set>

namespace quillon {

class CastTables;
class ExportWriter;
class MovieView;
struct MediaSettings;

// Writes the files and their manifest rows, and a row for each member passed over; returns the
// entry indices of the chunks written, which the raw export then leaves out.
std::set<uint32_t> ExportCastMedia(const MovieView& movie, const CastTables& tables,
                                   ExportWriter& writer, const MediaSettings& settings);

}  // namespace quillon
