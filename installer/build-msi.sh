#!/usr/bin/env bash
# Builds the per-user packages from the MinGW-w64 builds, signing the DLLs
# and the packages when a code-signing certificate is given:
#   Frambolist-VERSION.msi      64-bit Windows, whatever Office's bitness:
#                               both DLLs, each bitness's classes in its view
#   Frambolist-VERSION-x86.msi  32-bit Windows (refused on 64-bit Windows)
# Usage: build-msi.sh NATIVE_BUILD WIN64_BUILD WIN32_BUILD VERSION OUT_DIR
#   NATIVE_BUILD  holds frambolist-wix-registry (the registry rows)
#   WIN64_BUILD, WIN32_BUILD  the MinGW-w64 builds (their frambolist.dll)
# Signing (optional): FRAMBOLIST_SIGN_PKCS12 names a PKCS#12 file with the
# certificate and its key, FRAMBOLIST_SIGN_PASSWORD its password, and
# FRAMBOLIST_SIGN_TIMESTAMP_URL a timestamp server (left out when empty).
# Prints one line per package (name, size, signed or not); with
# FRAMBOLIST_MSI_DETAILS=1 also its summary, per-user flags and components.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
native=$(cd "$1" && pwd) win64=$(cd "$2" && pwd) win32=$(cd "$3" && pwd) version=$4
mkdir -p "$5"; out=$(cd "$5" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for build in "$win64" "$win32"; do
  format=$(objdump -f "$build/win/frambolist.dll" | sed -n 's/.*file format //p')
  expected=$([ "$build" = "$win64" ] && echo pei-x86-64 || echo pei-i386)
  [ "$format" = "$expected" ] || { echo "$build/win/frambolist.dll is $format, not $expected" >&2; exit 2; }
done

sign() {  # sign FILE: Authenticode-signs it in place
  [ -n "${FRAMBOLIST_SIGN_PKCS12:-}" ] || return 0
  local timestamp=()
  [ -z "${FRAMBOLIST_SIGN_TIMESTAMP_URL:-}" ] || timestamp=(-ts "$FRAMBOLIST_SIGN_TIMESTAMP_URL")
  osslsigncode sign -pkcs12 "$FRAMBOLIST_SIGN_PKCS12" -pass "${FRAMBOLIST_SIGN_PASSWORD:-}" -h sha256 \
    -n "Frambolist" -i "https://$web_host/" "${timestamp[@]}" -in "$1" -out "$1.signed" >/dev/null
  mv "$1.signed" "$1"
}
web_host=$(sed -n 's/^FRAMBOLIST_WEB_HOST:STRING=//p' "$win64/CMakeCache.txt")
web_host=${web_host:-frambolist.example.org}

# wixl takes sources relative to where it runs.
mkdir "$work/x64" "$work/x86"
cp "$win64/win/frambolist.dll" "$work/x64/"
cp "$win32/win/frambolist.dll" "$work/x86/"
cp "$root/assets/frambolist.ico" "$here/frambolist.wxs" "$work/"
sign "$work/x64/frambolist.dll"
sign "$work/x86/frambolist.dll"

package() {  # package ARCH MSI_NAME UPGRADE_CODE DLL-VARIABLES...
  local arch=$1 msi=$out/$2 upgrade_code=$3; shift 3
  local defines=()
  for variable in "$@"; do defines+=(-D "$variable"); done
  "$native/frambolist-wix-registry" "$([ "$arch" = x64 ] && echo both || echo x86)" > "$work/registry.wxs"
  # wixl ignores what it does not know, with a warning: that fails the build.
  (cd "$work" && wixl -a "$arch" -o "$msi" -D Version="$version" -D Arch="$arch" \
    -D UpgradeCode="$upgrade_code" -D IconSource=frambolist.ico -D WebHost="$web_host" "${defines[@]}" \
    frambolist.wxs registry.wxs) 2> "$work/wixl.log" || { cat "$work/wixl.log"; exit 1; }
  if grep -Ei 'warning|critical|unknown|no property' "$work/wixl.log"; then
    echo "wixl warned about the WiX source: fix it" >&2
    rm -f "$msi"
    exit 1
  fi
  sign "$msi"
  echo "$(basename "$msi"): $(stat -c %s "$msi") bytes, $([ -n "${FRAMBOLIST_SIGN_PKCS12:-}" ] && echo signed || echo not signed)"
  [ "${FRAMBOLIST_MSI_DETAILS:-}" = 1 ] || return 0
  msiinfo suminfo "$msi" | grep -E '^(Template|Version|Source|Security):' | sed 's/^/  /'
  echo "  per user: Word Count $(msiinfo suminfo "$msi" | sed -n 's/^Source: //p') (2 compressed + 8 no elevation)," \
       "ALLUSERS $(msiinfo export "$msi" Property | awk -F'\t' '$1 == "ALLUSERS" { print $2; f = 1 } END { if (!f) print "unset" }')"
  msiinfo export "$msi" Component | awk -F'\t' '
    NR > 3 && $1 !~ /^Registration/ { printf "  component %s %s attributes %s\n", $1, $2, $4 }
    NR > 3 && $1 ~ /^Registration/ { rows++; attributes = $4 }
    END { printf "  %d registration components, attributes %s\n", rows, attributes }'
}
# The package for 64-bit Windows keeps the upgrade code of the earlier
# package for 64-bit Office; the x86 package keeps the 32-bit one's.
package x64 "Frambolist-$version.msi" 8B4F2D19-6C3A-4E57-9D1B-0A5C7E3F2B64 \
  Dll64Source=x64/frambolist.dll Dll32Source=x86/frambolist.dll
package x86 "Frambolist-$version-x86.msi" 3C1D7E5A-9B2F-4A61-8E4C-7D0F2B6A9E13 \
  DllSource=x86/frambolist.dll
