#!/usr/bin/env bash
# The main job: builds the host program and runs the example session, a user
# working with the toolbar in a simulated PowerPoint.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target frambolist-sim >/dev/null
build/frambolist-sim examples/typical-session.txt
