#!/usr/bin/env bash
# Builds quillon, quillon-export and the example generator, writes the example movie and its
# replacement files into example-run/, runs quillon on them and shows the log; then exports the
# example movie into example-run/exported/ and rebuilds it from that folder, the translator's
# round trip, and shows the manifest and that log.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install_packages.sh cmake g++ make

cmake -S . -B build-example -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLON_TESTS=OFF >/dev/null
cmake --build build-example -j "$(nproc)" --target quillon quillon-export make_example

rm -rf example-run
build-example/example/make_example example-run
cd example-run
../build-example/driver/quillon Example.dxr files Out
echo
echo "--- example-run/Out/Example.log ---"
cat Out/Example.log

echo
echo "--- the round trip: export, (edit,) rebuild ---"
../build-example/driver/quillon-export Example.dxr exported
echo
echo "--- example-run/exported/Example.csv ---"
cat exported/Example.csv
../build-example/driver/quillon Example.dxr exported RoundTrip
echo
echo "--- example-run/RoundTrip/Example.log ---"
cat RoundTrip/Example.log
