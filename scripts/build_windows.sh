#!/usr/bin/env bash
# Builds the Windows console tools with MinGW-w64 and leaves them in dist/: Quillon.exe and
# Quillon-Export.exe.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install_packages.sh cmake make g++-mingw-w64-x86-64-posix

cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
      -DCMAKE_BUILD_TYPE=Release -DQUILLON_TESTS=OFF >/dev/null
cmake --build build-windows -j "$(nproc)" --target quillon quillon-export
mkdir -p dist
cp build-windows/driver/Quillon.exe build-windows/driver/Quillon-Export.exe dist/
echo "dist/Quillon.exe dist/Quillon-Export.exe"
