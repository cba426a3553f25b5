#!/usr/bin/env bash
# Builds quillon and the example generator, writes the example movie and its replacement files
# into example-run/, runs quillon on them and shows the log.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install_packages.sh cmake g++ make

cmake -S . -B build-example -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLON_TESTS=OFF >/dev/null
cmake --build build-example -j "$(nproc)" --target quillon make_example

rm -rf example-run
build-example/example/make_example example-run
cd example-run
../build-example/driver/quillon Example.dxr files Out
echo
echo "--- example-run/Out/Example.log ---"
cat Out/Example.log
