#!/usr/bin/env bash
# The Windows stage: builds the test suite with MinGW-w64 and runs it under Wine, with the model
# checking Quillon.exe and Quillon.exe's outputs compared with the Linux build's (build/, whose
# quillon, quillon-export and make_example are built first). The last stage of test_all.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install_packages.sh cmake g++ make pkg-config python3 libgtest-dev libstb-dev \
  g++-mingw-w64-x86-64-posix wine wine64 fonts-wine fonts-dejavu-core

jobs=$(nproc)
cmake -S . -B build
cmake --build build -j "$jobs" --target quillon quillon-export make_example

# Wine in a throwaway prefix inside the build folder, its server kept running for the whole
# stage (each test then starts in a fraction of a second) and stopped at the end. Standard input
# is the null device: Wine would otherwise wait on the terminal CTest hands down.
winebuild="$PWD/build-win"
emulator="env;WINEPREFIX=$winebuild/wineprefix;WINEDEBUG=-all;bash;$PWD/scripts/wine_run.sh"
cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_CROSSCOMPILING_EMULATOR="$emulator" \
      -DQUILLON_LINUX_BUILD_DIR="$PWD/build" -DQUILLON_MODEL_COUNT=100 -DQUILLON_WERROR=ON
cmake --build build-win -j "$jobs"
export WINEPREFIX="$winebuild/wineprefix" WINEDEBUG=-all
mkdir -p "$WINEPREFIX"
# A server already running for this prefix (an earlier stage) is used as it is and left running.
if wineserver -p; then
  trap 'wineserver -k || true' EXIT
fi
wine wineboot --init </dev/null
ctest --test-dir build-win --output-on-failure -j "$jobs" </dev/null
