#!/usr/bin/env bash
# Builds the per-user MSI for one bitness of Office from a MinGW-w64 build,
# signing the DLL and the package when a code-signing certificate is given.
# Usage: build-msi.sh NATIVE_BUILD WIN_BUILD VERSION OUT_DIR
#   NATIVE_BUILD  holds frambolist-wix-registry (the registry rows)
#   WIN_BUILD     a 64- or 32-bit MinGW-w64 build (its frambolist.dll)
# Signing (optional): FRAMBOLIST_SIGN_PKCS12 names a PKCS#12 file with the
# certificate and its key, FRAMBOLIST_SIGN_PASSWORD its password, and
# FRAMBOLIST_SIGN_TIMESTAMP_URL a timestamp server (left out when empty).
# Prints the package's summary, per-user flags and components.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
native=$(cd "$1" && pwd) win=$(cd "$2" && pwd) version=$3
mkdir -p "$4"; out=$(cd "$4" && pwd)

if objdump -f "$win/win/frambolist.dll" | grep -q 'file format pei-i386'; then
  arch=x86 other=x64 bits=32 other_bits=64 win64=no
  upgrade_code=3C1D7E5A-9B2F-4A61-8E4C-7D0F2B6A9E13 library_guid=5E8A2C47-1D3B-4F96-A0C5-2B7E9D4F1A86
else
  arch=x64 other=x86 bits=64 other_bits=32 win64=yes
  upgrade_code=8B4F2D19-6C3A-4E57-9D1B-0A5C7E3F2B64 library_guid=A7C3E915-4B2D-4C68-8F1E-6D9B0A2C5E47
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# wixl takes sources relative to where it runs.
cp "$win/win/frambolist.dll" "$root/assets/frambolist.ico" "$here/frambolist.wxs" "$work/"

sign() {  # sign FILE: Authenticode-signs it in place and verifies it
  [ -n "${FRAMBOLIST_SIGN_PKCS12:-}" ] || return 0
  local timestamp=()
  [ -z "${FRAMBOLIST_SIGN_TIMESTAMP_URL:-}" ] || timestamp=(-ts "$FRAMBOLIST_SIGN_TIMESTAMP_URL")
  osslsigncode sign -pkcs12 "$FRAMBOLIST_SIGN_PKCS12" -pass "${FRAMBOLIST_SIGN_PASSWORD:-}" -h sha256 \
    -n "Frambolist" -i "https://$web_host/" "${timestamp[@]}" -in "$1" -out "$1.signed" >/dev/null
  mv "$1.signed" "$1"
  echo "signed: $(basename "$1")"
}
web_host=$(sed -n 's/^FRAMBOLIST_WEB_HOST:STRING=//p' "$win/CMakeCache.txt")
web_host=${web_host:-frambolist.example.org}

sign "$work/frambolist.dll"
"$native/frambolist-wix-registry" "$arch" > "$work/registry.wxs"
msi="$out/Frambolist-$version-$arch.msi"
# wixl ignores what it does not know, with a warning: that fails the build.
(cd "$work" && wixl -a "$arch" -o "$msi" \
  -D Version="$version" -D Arch="$arch" -D OtherArch="$other" -D Bits="$bits" -D OtherBits="$other_bits" \
  -D Win64="$win64" -D UpgradeCode="$upgrade_code" -D LibraryGuid="$library_guid" \
  -D DllSource=frambolist.dll -D IconSource=frambolist.ico -D WebHost="$web_host" \
  frambolist.wxs registry.wxs) 2> "$work/wixl.log" || { cat "$work/wixl.log"; exit 1; }
if grep -Ei 'warning|critical|unknown|no property' "$work/wixl.log"; then
  echo "wixl warned about the WiX source: fix it" >&2
  rm -f "$msi"
  exit 1
fi
sign "$msi"

echo "$(basename "$msi"): $(stat -c %s "$msi") bytes"
msiinfo suminfo "$msi" | grep -E '^(Template|Version|Source|Security):' | sed 's/^/  /'
echo "  per user: Word Count $(msiinfo suminfo "$msi" | sed -n 's/^Source: //p') (2 compressed + 8 no elevation)," \
     "ALLUSERS $(msiinfo export "$msi" Property | awk -F'\t' '$1 == "ALLUSERS" { print $2; f = 1 } END { if (!f) print "unset" }')"
msiinfo export "$msi" Component | awk -F'\t' 'NR > 3 { printf "  component %s %s attributes %s\n", $1, $2, $4 }'
