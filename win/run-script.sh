#!/usr/bin/env bash
# Runs a host-program script through COM under Wine, headless: the DLL is
# registered in a private, throw-away prefix and the Windows host program
# loads it as Office would. Usage: run-script.sh BUILD_DIR SCRIPT
# Exits with the host program's status (2: a script error, 3: a leak, 4: a
# modal window that the host's window did not own).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
script=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
. "$root/win/wine-env.sh"
wine_work_for_build "$build" run
cp "$build/win/frambolist.dll" "$build/win/frambolist-sim.exe" "$work/"
"$wine" "$regsvr32" 'Z:'"${work//\//\\}"'\frambolist.dll' >/dev/null 2>&1
classes_to_hklm
"$wine" "$work/frambolist-sim.exe" "Z:$script" | tr -d '\r'
