#!/usr/bin/env bash
# Builds everything and runs every test: the native suite, then the Windows
# DLL (64- and 32-bit) and its tests under Wine.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh --windows

cmake --preset native -DFRAMBOLIST_TESTS=ON -DFRAMBOLIST_BENCHMARKS=ON >/dev/null
cmake --build build
ctest --test-dir build --output-on-failure -j2

# The same suite with AddressSanitizer and UndefinedBehaviorSanitizer.
cmake --preset asan >/dev/null
cmake --build build-asan
ASAN_OPTIONS=detect_leaks=1 ctest --test-dir build-asan --output-on-failure -j2

# The fuzz targets, for a fixed number of inputs (fuzz/README.md runs them longer).
cmake --preset fuzz >/dev/null
cmake --build build-fuzz
fuzz/run.sh build-fuzz 200000 3000

for preset in mingw64 mingw32; do
  cmake --preset $preset -DFRAMBOLIST_TESTS=ON >/dev/null
  cmake --build build-${preset/mingw/win} >/dev/null
done
win/tests/check-imports.sh x86_64-w64-mingw32-objdump build-win64/win/frambolist.dll
win/tests/check-imports.sh i686-w64-mingw32-objdump build-win32/win/frambolist.dll
# 32-bit Wine cannot be installed here: the 32-bit build is compiled and
# checked, the 64-bit one runs.
win/tests/run-wine.sh build-win64
