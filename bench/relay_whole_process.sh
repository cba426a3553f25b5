#!/usr/bin/env bash
# Whole processes, as a user runs them: quillon re-laying a movie of 537 MB in 20,480 chunks,
# alternating with cp and dd bs=1M of the same file, after one warm-up round. Prints the median
# wall times, their ratios and each command's peak resident memory: on a movie whose chunks keep
# their offsets, first with an empty FilesDir, then with every tenth chunk replaced from a file;
# then with an empty FilesDir on a movie whose chunks move (free and flagged chunks dropped, odd
# lengths). Every run writes a new output.
# Goals (empty FilesDir): quillon at most 1.0 x cp and 1.0 x dd on both movies, peak resident
# under 16 MiB.
#
#   bash bench/relay_whole_process.sh [path/to/quillon] [rounds=15]
#   MEMORY=1 bash bench/relay_whole_process.sh ...   # also heap and resident peaks of quillon
#                                                    # on 64 MiB and 512 MiB movies (heaptrack)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install_packages.sh time python3 coreutils bc
quillon=$(realpath "${1:-build/driver/quillon}")
rounds=${2:-15}
# On disk beside the build, not on a tmpfs: a user's movies live on disk.
work=$(mktemp -d "$PWD/build/relay-whole-process.XXXXXX")
trap 'rm -rf "$work"' EXIT

# make_movie LAYOUT FILE DATA_LENGTH CHUNKS [FILES_DIR]: the relay benchmark's layout (header
# region, then BITD chunks one after another, each of odd length followed by its zero pad byte);
# with FILES_DIR, a raw replacement for every tenth chunk.
# LAYOUT "aligned" gives every chunk DATA_LENGTH bytes, so each keeps its offset in the output.
# "shifted" gives the chunks odd lengths of DATA_LENGTH to DATA_LENGTH + 4 and makes every
# 1024th one a free chunk or a flagged one, which the output drops: every later run of kept
# chunks moves against its input offset, and no longer by a whole number of pages.
make_movie() {
  python3 - "$@" <<'PY'
import os, struct, sys
layout, path, data_length, chunks = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
files = sys.argv[5] if len(sys.argv) > 5 else None
shifted = layout == "shifted"
capacity = chunks + 3
header = 76 + 20 * capacity
lengths = [data_length + (2 * (i % 3) if shifted else 0) for i in range(chunks)]
total = header + sum(length + 8 + length % 2 for length in lengths)
region = bytearray(header)
def entry(i, tag, length, offset, flags):
    struct.pack_into("<4sIII", region, 76 + 20 * i, tag, length, offset, flags)
region[0:16] = b"XFIR" + struct.pack("<I", total - 8) + b"39VMpami"
struct.pack_into("<III", region, 16, 24, 1, 44)  # the imap: one map, at 44
region[44:48] = b"pamm"
struct.pack_into("<IHHII", region, 48, 24 + 20 * capacity, 24, 20, capacity, capacity)
entry(0, b"XFIR", total - 8, 0, 1)
entry(1, b"pami", 24, 12, 1)
entry(2, b"pamm", 24 + 20 * capacity, 44, 0)
tags, offset = [], header
for i, length in enumerate(lengths):
    dropped = shifted and i % 1024 == 1023
    tag = b"eerf" if dropped and i % 2048 == 1023 else b"DTIB"
    entry(i + 3, tag, length, offset, 1 if dropped and tag == b"DTIB" else 0)
    tags.append(tag)
    offset += length + 8 + length % 2
with open(path, "wb") as out:
    out.write(region)
    for tag, length in zip(tags, lengths):
        out.write(tag + struct.pack("<I", length) + b"\x5a" * length + bytes(length % 2))
if files:
    os.makedirs(files, exist_ok=True)
    for i in range(0, chunks, 10):
        replacement = b"DTIB" + struct.pack("<I", lengths[i]) + b"\xa5" * lengths[i]
        with open(os.path.join(files, "Movie-%06d.BITD" % (i + 3)), "wb") as out:
            out.write(replacement)
PY
}

# run_timed NAME COMMAND...: appends "wall_microseconds peak_kib cpu_seconds" to
# $work/NAME.times. The last
# run's output is written back first, so that no run pays for another's dirty pages.
run_timed() {
  local name=$1; shift
  local start end
  sync
  start=$(date +%s%N)
  /usr/bin/time -f "%M %U %S" -o "$work/rss" "$@" >/dev/null 2>&1
  end=$(date +%s%N)
  read -r rss user system < "$work/rss"
  echo "$(( (end - start) / 1000 )) $rss $(echo "$user + $system" | bc -l)" >> "$work/$name.times"
}

median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

# compare FILES_DIR LABEL DD_GOAL: the alternating rounds and their report.
compare() {
  local files=$1 label=$2 dd_goal=$3
  rm -f "$work"/*.times
  local order=(cp dd quillon)
  for round in $(seq 0 "$rounds"); do
    rm -rf "$work/out" "$work/copy-cp.dxr" "$work/copy-dd.dxr"
    for name in "${order[@]}"; do
      case $name in
        cp) run_timed cp cp "$work/Movie.dxr" "$work/copy-cp.dxr" ;;
        dd) run_timed dd dd if="$work/Movie.dxr" of="$work/copy-dd.dxr" bs=1M ;;
        quillon) run_timed quillon "$quillon" "$work/Movie.dxr" "$files" "$work/out" ;;
      esac
    done
    order=("${order[@]:1}" "${order[0]}")  # each command takes each place in turn
    if [ "$round" -eq 0 ]; then rm -f "$work"/*.times; fi  # the warm-up round
  done
  echo "== $label: $rounds rounds, medians"
  for name in cp dd quillon; do
    cut -d' ' -f1 "$work/$name.times" | median > "$work/$name.wall"
    cut -d' ' -f2 "$work/$name.times" | median > "$work/$name.rss"
    cut -d' ' -f3 "$work/$name.times" | median > "$work/$name.cpu"
    printf '%-8s wall %7.3f s   cpu (user + sys) %6.2f s   peak resident %7.1f MiB\n' "$name" \
      "$(echo "$(cat "$work/$name.wall") / 1000000" | bc -l)" "$(cat "$work/$name.cpu")" \
      "$(echo "$(cat "$work/$name.rss") / 1024" | bc -l)"
  done
  for peer in cp dd; do
    printf 'quillon / %s: wall %.3f, cpu %.3f (goal: %s)\n' "$peer" \
      "$(echo "$(cat "$work/quillon.wall") / $(cat "$work/$peer.wall")" | bc -l)" \
      "$(echo "$(cat "$work/quillon.cpu") / $(cat "$work/$peer.cpu")" | bc -l)" \
      "$([ "$peer" = cp ] && echo "at most 1.0" || echo "$dd_goal")"
  done
}

# memory DATA_LENGTH LABEL: quillon's peak resident memory and, with heaptrack, its peak heap.
memory() {
  local data_length=$1 label=$2
  make_movie aligned "$work/Movie.dxr" "$data_length" 20480
  rm -rf "$work/out"
  /usr/bin/time -f "%M" -o "$work/rss" "$quillon" "$work/Movie.dxr" "$work/empty" "$work/out" \
    >/dev/null 2>&1
  printf '%-8s movie %4d MiB: peak resident %7.1f MiB' "$label" \
    $(( $(stat -c %s "$work/Movie.dxr") >> 20 )) "$(echo "$(cat "$work/rss") / 1024" | bc -l)"
  if command -v heaptrack >/dev/null && command -v heaptrack_print >/dev/null; then
    rm -rf "$work/out" "$work"/heaptrack.*
    (cd "$work" && heaptrack -o "$work/heaptrack.quillon" "$quillon" Movie.dxr empty out \
      >/dev/null 2>&1)
    printf ', %s' "$(heaptrack_print "$work"/heaptrack.quillon.* 2>/dev/null |
      grep -m1 'peak heap memory consumption' | sed 's/ after.*//')"
  fi
  echo
}

mkdir -p "$work/empty"
make_movie aligned "$work/Movie.dxr" $((26 * 1024 + 1)) 20480 "$work/mixed"
echo "aligned movie: $(stat -c %s "$work/Movie.dxr") bytes in 20,480 chunks"
compare "$work/empty" "aligned, empty FilesDir" "at most 1.0"
compare "$work/mixed" "aligned, every tenth chunk replaced from a file" "at most 1.0"
make_movie shifted "$work/Movie.dxr" $((26 * 1024 + 1)) 20480
echo "shifted movie: $(stat -c %s "$work/Movie.dxr") bytes in 20,480 chunks, 20 of them dropped"
compare "$work/empty" "shifted, empty FilesDir" "at most 1.0"
if [ "${MEMORY:-0}" = 1 ]; then
  bash scripts/install_packages.sh heaptrack
  memory $((64 * 1024 * 1024 / 20480 - 8 - 1)) "64 MiB"
  memory $((26 * 1024 + 1)) "512 MiB"
fi
