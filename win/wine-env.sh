# Sourced by the scripts that run the Windows binaries under Wine: one way to
# make a private, throw-away, headless prefix and to pick the Wine of a
# build's bitness.

# wine_for_build BUILD_DIR: sets bits (64 or 32), wine (the loader for the
# build's programs), wine64 (the prefix's own tools), regsvr32 and view (the
# registry view of the build's classes) for a MinGW-w64 build. A 32-bit
# build runs in 32-bit Wine, as in a 32-bit Office on 64-bit Windows.
wine_for_build() {
  wine64=/usr/lib/wine/wine64
  if objdump -f "$1/win/frambolist.dll" 2>/dev/null | grep -q 'file format pei-i386'; then
    bits=32 wine=/usr/lib/wine/wine regsvr32='C:\windows\syswow64\regsvr32.exe' view=/reg:32
  else
    bits=64 wine=$wine64 regsvr32=regsvr32 view=/reg:64
  fi
}

# new_wine_prefix DIR: a new prefix in DIR without any display (the null
# graphics driver still runs windows, dialogs and message boxes), with one
# wineserver kept alive until wineserver -k. Needs wine_for_build first.
new_wine_prefix() {
  export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  timeout 300 "$wine64" wineboot -i >/dev/null 2>&1
  "$wine64" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
  wineserver -k; wineserver -w
  wineserver -p >/dev/null 2>&1
}

# classes_to_hklm: Wine 8 shows only HKLM's classes through
# HKEY_CLASSES_ROOT, where Windows merges in the user's: copy them across,
# into the registry view of the build's bitness. Windows keeps the 32-bit
# view of the user's classes under Wow6432Node: where the package for 64-bit
# Windows wrote the 32-bit classes there, they are the 32-bit view's. (Once
# that key exists, Wine reads the user's classes through it in the 32-bit
# view, so the copy reads the 64-bit view and names the 32-bit destination.)
classes_to_hklm() {
  if [ "$view" = /reg:32 ] &&
     "$wine64" reg query 'HKCU\Software\Classes\Wow6432Node\CLSID' >/dev/null 2>&1; then
    "$wine64" reg copy 'HKCU\Software\Classes' 'HKLM\Software\Wow6432Node\Classes' /s /f /reg:64 >/dev/null 2>&1
    "$wine64" reg copy 'HKCU\Software\Classes\Wow6432Node\CLSID' 'HKLM\Software\Wow6432Node\Classes\CLSID' \
      /s /f /reg:64 >/dev/null 2>&1
  else
    "$wine64" reg copy 'HKCU\Software\Classes' 'HKLM\Software\Classes' /s /f $view >/dev/null 2>&1
  fi
}

# wine_work_for_build BUILD NAME: a new work folder (`work`) holding a new
# prefix for BUILD's bitness, both gone, and the Wine server stopped, when
# the calling script exits.
wine_work_for_build() {
  work=$(mktemp -d "/tmp/frambolist-$2.XXXXXX")
  trap 'wineserver -k >/dev/null 2>&1; rm -rf "$work"' EXIT
  wine_for_build "$1"
  new_wine_prefix "$work/prefix"
}
