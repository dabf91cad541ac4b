#!/usr/bin/env bash
# The main job: builds the add-in DLLs and the per-user installer packages
# (dist/: Frambolist-VERSION.msi for 64-bit Windows, Frambolist-VERSION-x86.msi
# for 32-bit Windows), installs the package for 64-bit Windows in a private
# Wine prefix as a user would, and runs the example sessions through the
# installed add-in, headless: a user working with the toolbar in PowerPoint
# 2003, and with the ribbon group in PowerPoint 2016; in a 64-bit host, then
# in a 32-bit one, as 64- and 32-bit Office load it.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh --windows
scripts/install-wine32.sh
version=$(sed -n 's/^project(Frambolist VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
cmake --preset native >/dev/null
cmake --build build --target frambolist-wix-registry >/dev/null
for preset in mingw64 mingw32; do
  cmake --preset $preset >/dev/null
  cmake --build build-${preset/mingw/win} --target frambolist frambolist-sim >/dev/null
done
installer/build-msi.sh build build-win64 build-win32 "$version" dist
for build in build-win64 build-win32; do
  echo "the typical session in a ${build#build-win}-bit host:"
  installer/run-installed.sh "$build" "dist/Frambolist-$version.msi" examples/typical-session.txt
  echo "the typical session on the ribbon of a ${build#build-win}-bit Office 2016:"
  installer/run-installed.sh "$build" "dist/Frambolist-$version.msi" \
    examples/ribbon-session-powerpoint.txt
done
