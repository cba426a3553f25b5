#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks, then builds (warnings as errors) and runs every test
# three times: a plain build with g++; an AddressSanitizer + UndefinedBehaviorSanitizer build with
# clang that also builds the libFuzzer targets and runs each of them for 15 seconds; and the
# Windows build under Wine, with Quillon.exe compared with the g++ build's quillon.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install_packages.sh cmake g++ make clang libclang-rt-14-dev pkg-config python3 \
  libgtest-dev libgmock-dev libbenchmark-dev libstb-dev libtiff-dev libfreetype-dev \
  fonts-dejavu-core

jobs=$(nproc)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLON_BENCH=ON -DQUILLON_WERROR=ON
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DQUILLON_SANITIZE=ON -DQUILLON_FUZZ=ON \
      -DQUILLON_WERROR=ON -DCMAKE_CXX_COMPILER=clang++
cmake --build build-asan -j "$jobs"
ctest --test-dir build-asan --output-on-failure -j "$jobs"
bash scripts/run_fuzzers.sh build-asan 15
bash scripts/test_windows.sh
