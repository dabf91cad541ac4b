#!/usr/bin/env bash
# Installs a package in a private, throw-away Wine prefix, as a user would,
# and runs a host-program script through the installed add-in, headless.
# Usage: run-installed.sh WIN_BUILD PACKAGE SCRIPT
#   WIN_BUILD  the MinGW-w64 build of the package's bitness (its host program)
# Exits with the host program's status, as win/run-script.sh does.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
package=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
script=$(cd "$(dirname "$3")" && pwd)/$(basename "$3")
. "$root/win/wine-env.sh"
wine_work_for_build "$build" installed
"$wine64" msiexec /i "Z:${package//\//\\}" /qn >/dev/null 2>&1
classes_to_hklm
cp "$build/win/frambolist-sim.exe" "$work/"
"$wine" "$work/frambolist-sim.exe" "Z:$script" | tr -d '\r'
