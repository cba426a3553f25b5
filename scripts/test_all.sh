#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks, then builds (warnings as errors) and runs every test
# twice: a plain build with g++, and an AddressSanitizer + UndefinedBehaviorSanitizer build with
# clang that also builds the libFuzzer targets and runs each of them for 30 seconds. Then the
# Windows build (MinGW-w64) runs the whole suite under Wine, and Quillon.exe is compared with the
# Linux build on the same inputs.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install_packages.sh cmake g++ make clang libclang-rt-14-dev pkg-config python3 \
  libgtest-dev libgmock-dev libbenchmark-dev libstb-dev libtiff-dev libfreetype-dev \
  fonts-dejavu-core g++-mingw-w64-x86-64-posix wine wine64 fonts-wine

jobs=$(nproc)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLON_BENCH=ON -DQUILLON_WERROR=ON
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DQUILLON_SANITIZE=ON -DQUILLON_FUZZ=ON \
      -DQUILLON_WERROR=ON -DCMAKE_CXX_COMPILER=clang++
cmake --build build-asan -j "$jobs"
ctest --test-dir build-asan --output-on-failure -j "$jobs"
bash scripts/run_fuzzers.sh build-asan 30

# Windows: Wine in a throwaway prefix inside the build folder, its server kept running for the
# whole stage (each test then starts in a fraction of a second) and stopped at the end. Standard
# input is the null device: Wine would otherwise wait on the terminal CTest hands down.
winebuild="$PWD/build-win"
emulator="env;WINEPREFIX=$winebuild/wineprefix;WINEDEBUG=-all;wine"
cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CROSSCOMPILING_EMULATOR="$emulator" \
      -DQUILLON_LINUX_BUILD_DIR="$PWD/build" -DQUILLON_MODEL_COUNT=100
cmake --build build-win -j "$jobs"
export WINEPREFIX="$winebuild/wineprefix" WINEDEBUG=-all
mkdir -p "$WINEPREFIX"
wineserver -p
wine wineboot --init </dev/null
trap 'wineserver -k || true' EXIT
ctest --test-dir build-win --output-on-failure -j "$jobs" </dev/null
