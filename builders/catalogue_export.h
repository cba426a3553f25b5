#pragma once
// The movie's translation catalogue: a header entry, then an entry per string literal of every
// script that reads (entry order, then literal order), then one per STXT chunk, each with
// comments that say whose text it is. Texts that cannot go in get a manifest row saying why.

#include <string>
#include <vector>

#include "builders/manifest_row.h"
#include "util/po_catalogue.h"

namespace quillon {

class CastTables;
class CodePage;

// `movie_name` is the movie's file name; texts are decoded in `code_page`.
std::vector<PoEntry> MakeCatalogue(const CastTables& tables, CodePage& code_page,
                                   const std::string& movie_name, std::vector<ManifestRow>& notes);

}  // namespace quillon
