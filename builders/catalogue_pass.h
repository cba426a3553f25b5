#pragma once
// The catalogue pass, after the cast pass: the translations of "<stem>.po" in FilesDir put into
// the movie. Each script gets one new chunk with all its accepted literals (and, where its member
// keeps its source text, that text with the same strings), each STXT chunk its translated text
// with the style runs where its markers stand. Untranslated, fuzzy and obsolete entries change
// nothing; an entry that cannot be used is logged with why and counted as a refused file.

namespace quillon {

struct BuildContext;

// Msgids are read in the catalogue's X-Code-Page (1252 without one); translations are written
// in the run's code page when the user named one, else in the catalogue's too.
void ImportCatalogue(const BuildContext& context);

}  // namespace quillon
