#!/usr/bin/env bash
# The main job: builds the add-in DLL, registers it in a private Wine prefix
# and runs the example session (a user working with the toolbar in
# PowerPoint) through COM, headless.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh --windows
cmake --preset mingw64 >/dev/null
cmake --build build-win64 --target frambolist frambolist-sim >/dev/null
win/run-script.sh build-win64 examples/typical-session.txt
