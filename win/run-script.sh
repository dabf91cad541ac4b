#!/usr/bin/env bash
# Runs a host-program script through COM under Wine, headless: the DLL is
# registered in a private, throw-away prefix and the Windows host program
# loads it as Office would. Usage: run-script.sh BUILD_DIR SCRIPT
set -eu
build=$(cd "$1" && pwd)
script=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
work=$(mktemp -d /tmp/frambolist-run.XXXXXX)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
trap 'wineserver -k >/dev/null 2>&1; rm -rf "$work"' EXIT
timeout 300 "$wine" wineboot -i >/dev/null 2>&1
"$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
wineserver -k; wineserver -w
wineserver -p >/dev/null 2>&1
cp "$build/win/frambolist.dll" "$build/win/frambolist-sim.exe" "$work/"
"$wine" regsvr32 'Z:'"${work//\//\\}"'\frambolist.dll' >/dev/null 2>&1
# Wine 8 shows only HKLM's classes through HKEY_CLASSES_ROOT.
"$wine" reg copy 'HKCU\Software\Classes' 'HKLM\Software\Classes' /s /f >/dev/null 2>&1
"$wine" "$work/frambolist-sim.exe" "Z:$script" | tr -d '\r'
