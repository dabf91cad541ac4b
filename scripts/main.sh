#!/usr/bin/env bash
# The main job: builds the add-in DLLs and their per-user installer packages
# (dist/), installs the 64-bit package in a private Wine prefix as a user
# would, and runs the example session (a user working with the toolbar in
# PowerPoint) through the installed add-in, headless.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh --windows
version=$(sed -n 's/^project(Frambolist VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
cmake --preset native >/dev/null
cmake --build build --target frambolist-wix-registry >/dev/null
for preset in mingw64 mingw32; do
  cmake --preset $preset >/dev/null
  cmake --build build-${preset/mingw/win} --target frambolist frambolist-sim >/dev/null
  installer/build-msi.sh build build-${preset/mingw/win} "$version" dist
done
installer/run-installed.sh build-win64 "dist/Frambolist-$version-x64.msi" examples/typical-session.txt
