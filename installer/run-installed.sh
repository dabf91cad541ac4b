#!/usr/bin/env bash
# Installs a package in a private, throw-away Wine prefix, as a user would,
# and runs a host-program script through the installed add-in, headless.
# Usage: run-installed.sh WIN_BUILD PACKAGE SCRIPT
#   WIN_BUILD  the MinGW-w64 build of the package's bitness (its host program)
set -eu
build=$(cd "$1" && pwd)
package=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
script=$(cd "$(dirname "$3")" && pwd)/$(basename "$3")
work=$(mktemp -d /tmp/frambolist-installed.XXXXXX)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine64=/usr/lib/wine/wine64 wine=$wine64 view=/reg:64
if objdump -f "$build/win/frambolist.dll" | grep -q 'file format pei-i386'; then wine=/usr/lib/wine/wine view=/reg:32; fi
trap 'wineserver -k >/dev/null 2>&1; rm -rf "$work"' EXIT
timeout 300 "$wine64" wineboot -i >/dev/null 2>&1
"$wine64" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
wineserver -k; wineserver -w
wineserver -p >/dev/null 2>&1
"$wine64" msiexec /i "Z:${package//\//\\}" /qn >/dev/null 2>&1
# Wine 8 shows only HKLM's classes through HKEY_CLASSES_ROOT.
"$wine64" reg copy 'HKCU\Software\Classes' 'HKLM\Software\Classes' /s /f $view >/dev/null 2>&1
cp "$build/win/frambolist-sim.exe" "$work/"
"$wine" "$work/frambolist-sim.exe" "Z:$script" | tr -d '\r'
