// The cast pass over movies of 2,000 and 20,000 members with three key entries each, in
// shuffled table order. Goal: linear in the key entries, so the larger movie takes at most 15
// times as long as the smaller one (the complexity fit below reports the ratio's slope).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <vector>

#include "builders/media_kinds.h"
#include "container/bitmap_member.h"
#include "container/cast_members.h"
#include "container/movie.h"
#include "fixtures/movie_builder.h"

namespace {

using quillon::test::Bytes;
using quillon::test::Key;
using quillon::test::MovieBuilder;

Bytes CastMovie(uint32_t members) {
  MovieBuilder movie(4 * members + 8);
  quillon::test::BitmapMemberFields fields;
  fields.right = 64;
  fields.bottom = 48;
  const Bytes member_data = MovieBuilder::BitmapMember(fields);
  const Bytes gif = {'G', 'I', 'F', '8', '9', 'a'};
  std::vector<quillon::test::CastSlot> slots;
  std::vector<Key> keys;
  for (uint32_t k = 0; k < members; ++k) {
    const uint32_t member = movie.AddChunk("tSAC", member_data);
    keys.push_back({movie.AddChunk("DTIB", {1}), member, "DTIB"});
    keys.push_back({movie.AddChunk("AFLA", {1}), member, "AFLA"});
    keys.push_back({movie.AddChunk("DEMX", gif), member, "DEMX"});
    slots.push_back({member, k % 2 == 0});
  }
  std::shuffle(keys.begin(), keys.end(), std::mt19937(11));
  movie.AddChunk("*SAC", MovieBuilder::CastTable(slots));
  movie.AddChunk("*YEK", MovieBuilder::KeyTable(keys));
  return movie.Build();
}

// Reads what a builder would read first, and counts.
void Count(const quillon::MediaKind&, const quillon::CastMedia& media, uint64_t& sum) {
  quillon::CastBitmapInfo info;
  if (media.member.size() == 0) {
    sum += media.child;
  } else if (quillon::ReadCastBitmapInfo(media.member, info)) {
    sum += info.width;
  }
}

void BM_CastPass(benchmark::State& state) {
  const uint32_t members = static_cast<uint32_t>(state.range(0));
  Bytes file = CastMovie(members);
  if (!quillon::CheckContainer(file.data(), file.size())) state.SkipWithError("bad movie");
  const quillon::MovieView movie(file.data(), file.size());
  for (auto _ : state) {
    uint64_t sum = 0;
    const quillon::CastTables tables(movie);
    quillon::ForEachCastMedia(tables, [&](const quillon::MediaKind& kind,
                                          const quillon::CastMedia& media) {
      Count(kind, media, sum);
    });
    benchmark::DoNotOptimize(sum);
  }
  state.SetComplexityN(state.range(0));
  state.counters["key_entries"] = 3.0 * members;
}

}  // namespace

BENCHMARK(BM_CastPass)->Arg(2000)->Arg(20000)->Complexity(benchmark::oN);
BENCHMARK_MAIN();
