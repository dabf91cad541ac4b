#!/usr/bin/env bash
# The per-user packages under Wine, judged by the state they leave (Wine's
# msiexec returns other codes than Windows'), in a 64-bit prefix as on 64-bit
# Windows: the x86 package is refused there; the package for 64-bit Windows
# installs both DLLs, with each view's registry rows equal to what that
# bitness's DllRegisterServer writes; the typical session runs through it in
# a 64-bit and (unless FRAMBOLIST_SKIP_WIN32=1) a 32-bit host program; a
# newer package replaces it and an older one is refused; it replaces the
# previous release's package for either bitness of Office; uninstalled,
# nothing of it is left and nothing else changed.
# Usage: run-msi-wine.sh NATIVE_BUILD WIN64_BUILD WIN32_BUILD
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
native=$(cd "$1" && pwd) win64=$(cd "$2" && pwd) win32=$(cd "$3" && pwd)
work=$(mktemp -d /tmp/frambolist-msi.XXXXXX)
. "$root/win/wine-env.sh"
passed=0; failed=0
check() {  # check NAME COMMAND...: one test, counted; its "signed"/"tampered" lines are shown
  local name=$1; shift
  if "$@" > "$work/last.log" 2>&1; then
    passed=$((passed + 1)); echo "ok: $name"; grep -E '^(signed|tampered) ' "$work/last.log" | sed 's/^/  /'
  else
    failed=$((failed + 1)); echo "FAILED: $name"; sed 's/^/  /' "$work/last.log" | tr -d '\r' | head -40
  fi
}
cleanup() { wineserver -k >/dev/null 2>&1; rm -rf "$work"; }
trap cleanup EXIT
echo "package tests"
with_32_bit=yes
[ "${FRAMBOLIST_SKIP_WIN32:-}" = 1 ] && with_32_bit=

# wixl ignores what it does not know: the build must refuse a source that
# it would silently misread.
unknown_attribute_fails() {
  mkdir -p "$work/strict/installer" "$work/strict/assets"
  cp "$root/installer/build-msi.sh" "$work/strict/installer/"
  cp "$root/assets/frambolist.ico" "$work/strict/assets/"
  sed 's/<Package /<Package NoSuchAttribute="1" /' "$root/installer/frambolist.wxs" > "$work/strict/installer/frambolist.wxs"
  ! "$work/strict/installer/build-msi.sh" "$native" "$win64" "$win32" 1.0.0 "$work/strict/out"
}
check "a WiX source with an attribute wixl does not know fails the build" unknown_attribute_fails

# Two versions of the packages, signed with a throw-away certificate: the
# installed add-in is the signed DLLs.
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -days 2 \
  -subj "/CN=Frambolist test signing" -addext "extendedKeyUsage=codeSigning" >/dev/null 2>&1
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/sign.p12" -passout pass:test
for version in 1.0.0 1.0.1; do
  FRAMBOLIST_SIGN_PKCS12=$work/sign.p12 FRAMBOLIST_SIGN_PASSWORD=test FRAMBOLIST_MSI_DETAILS=1 \
    "$root/installer/build-msi.sh" "$native" "$win64" "$win32" "$version" "$work/out" > "$work/build-$version.log" 2>&1 ||
    { cat "$work/build-$version.log"; exit 1; }
done
sed 's/^/  /' "$work/build-1.0.0.log"  # the packages as built
msi_path() { echo "Z:${work//\//\\}\\out\\$1"; }
old=$(msi_path Frambolist-1.0.0.msi) new=$(msi_path Frambolist-1.0.1.msi) x86=$(msi_path Frambolist-1.0.0-x86.msi)

# The previous release's packages, one per bitness of Office, as its
# build-msi.sh made them.
previous_release() {  # previous_release ARCH: out/previous-ARCH.msi
  local arch=$1 dir=$work/previous-$1 bits=64 other=x86 other_bits=32 win64_component=yes
  local upgrade_code=8B4F2D19-6C3A-4E57-9D1B-0A5C7E3F2B64 library_guid=A7C3E915-4B2D-4C68-8F1E-6D9B0A2C5E47
  local dll=$win64/win/frambolist.dll
  if [ "$arch" = x86 ]; then
    bits=32 other=x64 other_bits=64 win64_component=no dll=$win32/win/frambolist.dll
    upgrade_code=3C1D7E5A-9B2F-4A61-8E4C-7D0F2B6A9E13 library_guid=5E8A2C47-1D3B-4F96-A0C5-2B7E9D4F1A86
  fi
  mkdir -p "$dir"
  cp "$dll" "$root/assets/frambolist.ico" "$here/previous-release.wxs" "$dir/"
  "$native/frambolist-wix-registry" "$arch" > "$dir/registry.wxs"
  (cd "$dir" && wixl -a "$arch" -o "$work/out/previous-$arch.msi" -D Version=0.9.0 -D Arch="$arch" \
    -D OtherArch="$other" -D Bits="$bits" -D OtherBits="$other_bits" -D Win64="$win64_component" \
    -D UpgradeCode="$upgrade_code" -D LibraryGuid="$library_guid" -D DllSource=frambolist.dll \
    -D IconSource=frambolist.ico -D WebHost=frambolist.example.org previous-release.wxs registry.wxs)
}
previous_release x64 && previous_release x86 || exit 1

wine_for_build "$win64"
new_wine_prefix "$work/prefix"
for key in 'HKCU\Software\Microsoft\Office\PowerPoint\Addins' 'HKCU\Software\Microsoft\Office\Excel\Addins' \
           'HKCU\Software\Microsoft\Office\Word\Addins'; do
  "$wine64" reg add "$key" /f >/dev/null 2>&1
done
local_app_data=$("$wine64" cmd /c echo %LOCALAPPDATA% | tr -d '\r')
folder=$(WINEDEBUG=-all "$wine64" winepath -u "$local_app_data\\Frambolist" 2>/dev/null | tr -d '\r')

export_software() {  # the keys and values under HKCU\Software, one per line, sorted
  "$wine64" reg export 'HKCU\Software' "$1" /y >/dev/null 2>&1
  iconv -f utf-16 -t utf-8 < "$1" | tr -d '\r' | sort > "$1.sorted"
}
ours() {  # ours CLASSES_KEY: the add-in's keys and values, its classes read below CLASSES_KEY
  local classes=$1
  for host in PowerPoint Excel Word; do
    "$wine64" reg query "HKCU\\Software\\Microsoft\\Office\\$host\\Addins" /s
  done
  for id in Connect ConnectXl ConnectWd; do
    "$wine64" reg query "HKCU\\Software\\Classes\\Kworrendival.$id" /s
    clsid=$("$wine64" reg query "HKCU\\Software\\Classes\\Kworrendival.$id\\CLSID" /ve | tr -d '\r' | grep -o '{[0-9A-F-]*}')
    [ -n "$clsid" ] && "$wine64" reg query "$classes\\$clsid" /s
  done 2>&1 | tr -d '\r' | sed 's/\\Wow6432Node\\CLSID\\/\\CLSID\\/'
}
classes64='HKCU\Software\Classes\CLSID' classes32='HKCU\Software\Classes\Wow6432Node\CLSID'
product_entries() {  # "DisplayName|DisplayVersion|Publisher" of each of our products in Apps & features
  for hive in HKCU HKLM; do
    for registry_view in /reg:64 /reg:32; do
      "$wine64" reg query "$hive\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall" /s $registry_view 2>/dev/null
    done
  done | tr -d '\r' | awk '
    /^HKEY/ { if (name ~ /^Frambolist/) print name "|" version "|" publisher; name = version = publisher = "" }
    $1 == "DisplayName" { sub(/^ *DisplayName +REG_SZ +/, ""); name = $0 }
    $1 == "DisplayVersion" { version = $3 }
    $1 == "Publisher" { sub(/^ *Publisher +REG_SZ +/, ""); publisher = $0 }
    END { if (name ~ /^Frambolist/) print name "|" version "|" publisher }' | sort -u
}

# A first run of the host program with no add-in, so that what Wine itself
# keeps for a process with windows is in place before the snapshot.
cp "$win64/win/frambolist-sim.exe" "$work/frambolist-sim-64.exe"
cp "$win32/win/frambolist-sim.exe" "$work/frambolist-sim-32.exe"
printf 'start word\nquit\n' > "$work/empty.txt"
timeout 120 "$wine" "$work/frambolist-sim-64.exe" "Z:$work/empty.txt" >/dev/null 2>&1
export_software "$work/before.reg"

# What registering each DLL at its installed path writes (the 32-bit one
# with the 32-bit regsvr32, which Wine 8 does not redirect), to compare with
# what the package writes in each view.
registered() {  # registered BITS BUILD REGSVR32 FILE
  mkdir -p "$folder/$1"; cp "$2/win/frambolist.dll" "$folder/$1/"
  "$3" "$4" /s "$local_app_data\\Frambolist\\$1\\frambolist.dll" >/dev/null 2>&1
  ours "$classes64" > "$5"
  "$3" "$4" /s /u "$local_app_data\\Frambolist\\$1\\frambolist.dll" >/dev/null 2>&1
  rm -rf "$folder"
}
registered x64 "$win64" "$wine64" regsvr32 "$work/registered-64.txt"
[ -n "$with_32_bit" ] && registered x86 "$win32" /usr/lib/wine/wine 'C:\windows\syswow64\regsvr32.exe' "$work/registered-32.txt"

x86_refused() {
  "$wine64" msiexec /i "$x86" /qn >/dev/null 2>&1
  # Each condition says which one failed.
  [ ! -e "$folder" ] || { echo "installed: $(ls -R "$folder")"; return 1; }
  [ -z "$(product_entries)" ] || { echo "listed: $(product_entries)"; return 1; }
  msiinfo export "$work/out/Frambolist-1.0.0-x86.msi" LaunchCondition | grep -q "install Frambolist-1.0.0.msi" ||
    { echo "the package has no launch condition naming the package for 64-bit Windows"; return 1; }
}
check "the x86 package is refused on 64-bit Windows and names the one to take" x86_refused

installs() {
  "$wine64" msiexec /i "$old" /qn >/dev/null 2>&1
  [ -e "$folder/x64/frambolist.dll" ] && [ -e "$folder/x86/frambolist.dll" ] &&
    [ "$(product_entries)" = "Frambolist|1.0.0|Frambolist" ] ||
    { echo "files: $(cd "$folder" 2>/dev/null && find . -type f) listed: $(product_entries)"; return 1; }
  objdump -f "$folder/x64/frambolist.dll" | grep -q pei-x86-64 && objdump -f "$folder/x86/frambolist.dll" | grep -q pei-i386
}
check "installs per user on 64-bit Windows, both DLLs, listed once in Apps & features" installs
check "its 64-bit view's rows are what the 64-bit DllRegisterServer writes" \
  diff -u "$work/registered-64.txt" <(ours "$classes64")
[ -n "$with_32_bit" ] && check "its 32-bit view's rows are what the 32-bit DllRegisterServer writes" \
  diff -u "$work/registered-32.txt" <(ours "$classes32")

verification() {  # verification of a signed file, and of the same with one byte changed
  local file=$1 copy=$work/tampered.bin
  osslsigncode verify -CAfile "$work/cert.pem" -in "$file" > "$work/verify.log" 2>&1 || { cat "$work/verify.log"; return 1; }
  echo "signed $(basename "$file"): $(grep -m1 -E '^Signature verification' "$work/verify.log")"
  cp "$file" "$copy"
  # A byte well inside the file, past the headers: the code or the package.
  local at=$(( $(stat -c %s "$copy") / 2 ))
  printf '%b' "\\x$(printf '%02x' $(( ($(od -An -tu1 -j$at -N1 "$copy") + 1) % 256 )))" |
    dd of="$copy" bs=1 seek=$at conv=notrunc status=none
  if osslsigncode verify -CAfile "$work/cert.pem" -in "$copy" > "$work/verify.log" 2>&1; then
    echo "one changed byte still verifies"; return 1
  fi
  echo "tampered $(basename "$file"): $(grep -m1 -E 'verification|MISMATCH|failed' "$work/verify.log")"
}
check "the signed package verifies, and fails with one byte changed" verification "$work/out/Frambolist-1.0.0.msi"
check "the installed, signed 64-bit DLL verifies, and fails with one byte changed" verification "$folder/x64/frambolist.dll"
check "the installed, signed 32-bit DLL verifies, and fails with one byte changed" verification "$folder/x86/frambolist.dll"

typical_session() (  # typical_session 64|32: through the installed add-in, with this prefix's Wine
  set -o pipefail  # the host program's status counts, not only its output
  classes_to_hklm
  timeout 120 "$wine" "$work/frambolist-sim-$1.exe" "Z:$root/examples/typical-session.txt" 2>&1 | tr -d '\r' |
    diff -u "$root/examples/typical-session.expected" -
)
session() (  # session 64|32: the same in a host program of that bitness on 64-bit Windows
  wine_for_build "$([ "$1" = 64 ] && echo "$win64" || echo "$win32")"
  typical_session "$1"
)
check "the typical session runs through the installed add-in in a 64-bit host" session 64
[ -n "$with_32_bit" ] && check "the typical session runs through the installed add-in in a 32-bit host" session 32
# The runner that scripts/main.sh uses passes the host program's status on.
runner_passes_status_on() {
  printf 'start word\nselect Nobody\n' > "$work/bad.txt"
  "$root/installer/run-installed.sh" "$win64" "$work/out/Frambolist-1.0.0.msi" "$work/bad.txt"
  [ $? -eq 2 ]
}
check "installer/run-installed.sh exits with the host program's status 2" runner_passes_status_on

upgrades() {
  "$wine64" msiexec /i "$new" /qn >/dev/null 2>&1
  [ "$(product_entries)" = "Frambolist|1.0.1|Frambolist" ] && [ -e "$folder/x64/frambolist.dll" ] &&
    diff -u "$work/registered-64.txt" <(ours "$classes64")
}
check "a newer package replaces the older: one product, 1.0.1" upgrades

refuses_downgrade() {
  local dll_before; dll_before=$(md5sum < "$folder/x64/frambolist.dll")
  "$wine64" msiexec /i "$old" /qn >/dev/null 2>&1
  [ "$(product_entries)" = "Frambolist|1.0.1|Frambolist" ] &&
    [ "$(md5sum < "$folder/x64/frambolist.dll")" = "$dll_before" ]
}
check "an older package is refused and changes nothing" refuses_downgrade

left_behind() {  # what differs from the snapshot, past what may stay
  [ ! -e "$folder" ] && [ -z "$(product_entries)" ] || { echo "left: $(ls -R "$folder" 2>&1) $(product_entries)"; return 1; }
  export_software "$work/after.reg"
  # Windows Installer's own bookkeeping under HKCU may stay (these empty
  # keys), and so may what Wine keeps for a process that had windows (its
  # temporary system parameters); the add-in's keys and anything else may not.
  diff "$work/before.reg.sorted" "$work/after.reg.sorted" | grep '^[<>]' |
    grep -Ev '^> \[HKEY_CURRENT_USER\\Software\\Microsoft\\Installer(\\(Features|Products|UpgradeCodes))?\]$' |
    grep -Ev '^> \[HKEY_CURRENT_USER\\Software\\Wine\\Temporary System Parameters(\\.*)?\]$' |
    grep -Ev '^> $' > "$work/left.txt"
  [ ! -s "$work/left.txt" ] || { cat "$work/left.txt"; return 1; }
}
uninstalls() {
  "$wine64" msiexec /x "$new" /qn >/dev/null 2>&1
  left_behind
}
check "uninstalled, no file and no value of the add-in is left, and nothing else changed" uninstalls

replaces_previous() {  # replaces_previous ARCH: over the previous release's package for ARCH
  "$wine64" msiexec /i "$(msi_path "previous-$1.msi")" /qn >/dev/null 2>&1
  [ -e "$folder/frambolist.dll" ] || { echo "the previous package did not install"; return 1; }
  "$wine64" msiexec /i "$new" /qn >/dev/null 2>&1
  [ "$(product_entries)" = "Frambolist|1.0.1|Frambolist" ] || { echo "listed: $(product_entries)"; return 1; }
  [ ! -e "$folder/frambolist.dll" ] || { echo "the previous DLL stayed"; return 1; }
  diff -u "$work/registered-64.txt" <(ours "$classes64") || return 1
  "$wine64" msiexec /x "$new" /qn >/dev/null 2>&1
  left_behind
}
check "replaces the previous release's package for 64-bit Office, and uninstalls clean" replaces_previous x64
check "replaces the previous release's package for 32-bit Office, and uninstalls clean" replaces_previous x86

# On 32-bit Windows: the x86 package installs and works, and the package
# for 64-bit Windows is refused.
if [ -n "$with_32_bit" ]; then
  wineserver -k >/dev/null 2>&1
  export WINEARCH=win32
  wine64=/usr/lib/wine/wine wine=/usr/lib/wine/wine view=  # the prefix's own tools are 32-bit
  new_wine_prefix "$work/prefix32"
  for host in PowerPoint Excel Word; do
    "$wine64" reg add "HKCU\\Software\\Microsoft\\Office\\$host\\Addins" /f >/dev/null 2>&1
  done
  timeout 120 "$wine" "$work/frambolist-sim-32.exe" "Z:$work/empty.txt" >/dev/null 2>&1
  folder=$(WINEDEBUG=-all "$wine" winepath -u "$("$wine" cmd /c echo %LOCALAPPDATA% | tr -d '\r')\\Frambolist" 2>/dev/null | tr -d '\r')
  export_software "$work/before.reg"
  on_32_bit_windows() {
    "$wine64" msiexec /i "$(msi_path Frambolist-1.0.0.msi)" /qn >/dev/null 2>&1
    [ ! -e "$folder" ] && [ -z "$(product_entries)" ] || { echo "the package for 64-bit Windows installed"; return 1; }
    "$wine64" msiexec /i "$x86" /qn >/dev/null 2>&1
    [ -e "$folder/frambolist.dll" ] && [ "$(product_entries)" = "Frambolist for 32-bit Windows|1.0.0|Frambolist" ] ||
      { echo "files: $(ls -R "$folder" 2>&1) listed: $(product_entries)"; return 1; }
    typical_session 32 || return 1
    "$wine64" msiexec /x "$x86" /qn >/dev/null 2>&1
    left_behind
  }
  check "on 32-bit Windows: the x86 package installs, runs the typical session, uninstalls clean; the other is refused" \
    on_32_bit_windows
fi

echo "packages: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
