#!/usr/bin/env bash
# Whole processes, as a user runs them: a game folder of the shared movies (movies/,
# movies-with-sound/, uncompacted/ and mac/, each a folder) copied COPIES times, exported and
# rebuilt by one batch process per program against a shell loop of single runs doing the same
# work. Prints the wall times of both and their ratio, after checking that both gave the same
# files.
# Goals: the batch at most half the loop's time with two processors on Linux, at most a fifth
# under Wine (where each process takes about a quarter of a second to start).
#
#   bash bench/batch_whole_process.sh [quillon] [quillon-export] [copies=20]
#   RUNNER=wine bash bench/batch_whole_process.sh build-win/driver/Quillon.exe \
#       build-win/driver/Quillon-Export.exe
# Under Wine set WINEPREFIX and WINEDEBUG=-all and keep its server running (wineserver -p), as
# scripts/test_windows.sh does, so that each process costs its start alone.
set -euo pipefail
cd "$(dirname "$0")/.."
quillon=$(realpath "${1:-build/driver/quillon}")
quillon_export=$(realpath "${2:-build/driver/quillon-export}")
copies=${3:-20}
runner=${RUNNER:-}
data=${QUILLON_TESTDATA:-/work/shared/testdata}
work=$(mktemp -d "$PWD/build/batch-whole-process.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"

for ((i = 1; i <= copies; ++i)); do
  for folder in movies movies-with-sound uncompacted mac; do
    mkdir -p "game/copy$i/$folder"
    cp "$data/$folder"/* "game/copy$i/$folder/"
  done
done
mapfile -t movies < <(cd game && find . -type f | sed 's|^\./||' | sort)

seconds() { date +%s.%N; }

# The loop a user would write: one export and one rebuild per movie.
start=$(seconds)
for movie in "${movies[@]}"; do
  $runner "$quillon_export" "game/$movie" "loop-files/$movie" >/dev/null
  $runner "$quillon" "game/$movie" "loop-files/$movie" "loop-out/$(dirname "$movie")" >/dev/null
done
loop=$(echo "$(seconds) - $start" | bc)

start=$(seconds)
$runner "$quillon_export" game batch-files >/dev/null
$runner "$quillon" game batch-files batch-out >/dev/null
batch=$(echo "$(seconds) - $start" | bc)

diff -r loop-files batch-files >/dev/null
diff -r loop-out batch-out >/dev/null
printf '%d movies, %s processors\n' "${#movies[@]}" "$(nproc)"
printf 'loop of single runs: %6.2f s\n' "$loop"
printf 'batch:               %6.2f s (%.2f of the loop)\n' "$batch" "$(echo "$batch / $loop" | bc -l)"
