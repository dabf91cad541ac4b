#!/usr/bin/env bash
# The per-user package under Wine, judged by the state it leaves (Wine's
# msiexec returns other codes than Windows'): registry rows equal to what
# DllRegisterServer writes; refused when Office has the other bitness;
# installed, the typical session runs through the installed add-in; a newer
# package replaces it; an older one is refused; uninstalled, nothing of it
# is left and nothing else changed.
# Usage: run-msi-wine.sh NATIVE_BUILD WIN_BUILD   (the WIN_BUILD's bitness)
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
native=$(cd "$1" && pwd) build=$(cd "$2" && pwd)
work=$(mktemp -d /tmp/frambolist-msi.XXXXXX)
. "$root/win/wine-env.sh"
wine_for_build "$build"
if [ "$bits" = 32 ]; then arch=x86 other=x64; else arch=x64 other=x86; fi
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
echo "package tests, $bits-bit"

# wixl ignores what it does not know: the build must refuse a source that
# it would silently misread.
unknown_attribute_fails() {
  mkdir -p "$work/strict/installer" "$work/strict/assets"
  cp "$root/installer/build-msi.sh" "$work/strict/installer/"
  cp "$root/assets/frambolist.ico" "$work/strict/assets/"
  sed 's/<Package /<Package NoSuchAttribute="1" /' "$root/installer/frambolist.wxs" > "$work/strict/installer/frambolist.wxs"
  ! "$work/strict/installer/build-msi.sh" "$native" "$build" 1.0.0 "$work/strict/out"
}
check "a WiX source with an attribute wixl does not know fails the build" unknown_attribute_fails

# Two versions of the package, signed with a throw-away certificate: the
# installed add-in is the signed DLL.
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -days 2 \
  -subj "/CN=Frambolist test signing" -addext "extendedKeyUsage=codeSigning" >/dev/null 2>&1
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/sign.p12" -passout pass:test
for version in 1.0.0 1.0.1; do
  FRAMBOLIST_SIGN_PKCS12=$work/sign.p12 FRAMBOLIST_SIGN_PASSWORD=test \
    "$root/installer/build-msi.sh" "$native" "$build" "$version" "$work/out" > "$work/build-$version.log" 2>&1 ||
    { cat "$work/build-$version.log"; exit 1; }
done
sed 's/^/  /' "$work/build-1.0.0.log"  # the package as built: summary, per-user flags, components
old="Z:${work//\//\\}\\out\\Frambolist-1.0.0-$arch.msi"
new="Z:${work//\//\\}\\out\\Frambolist-1.0.1-$arch.msi"

new_wine_prefix "$work/prefix"
for key in 'HKCU\Software\Microsoft\Office\PowerPoint\Addins' 'HKCU\Software\Microsoft\Office\Excel\Addins' \
           'HKCU\Software\Microsoft\Office\Word\Addins'; do
  "$wine64" reg add "$key" /f >/dev/null 2>&1
done
local_app_data=$("$wine64" cmd /c echo %LOCALAPPDATA% | tr -d '\r')
folder=$(WINEDEBUG=-all "$wine64" winepath -u "$local_app_data\\Frambolist" 2>/dev/null | tr -d '\r')
installed_dll="$local_app_data\\Frambolist\\frambolist.dll"

export_software() {  # the keys and values under HKCU\Software, one per line, sorted
  "$wine64" reg export 'HKCU\Software' "$1" /y >/dev/null 2>&1
  iconv -f utf-16 -t utf-8 < "$1" | tr -d '\r' | sort > "$1.sorted"
}
ours() {  # the add-in's keys and values, in the DLL's registry view
  for host in PowerPoint Excel Word; do
    "$wine64" reg query "HKCU\\Software\\Microsoft\\Office\\$host\\Addins" /s
  done
  for id in Connect ConnectXl ConnectWd; do
    "$wine64" reg query "HKCU\\Software\\Classes\\Kworrendival.$id" /s $view
    clsid=$("$wine64" reg query "HKCU\\Software\\Classes\\Kworrendival.$id\\CLSID" /ve $view | tr -d '\r' | grep -o '{[0-9A-F-]*}')
    [ -n "$clsid" ] && "$wine64" reg query "HKCU\\Software\\Classes\\CLSID\\$clsid" /s $view
  done 2>&1 | tr -d '\r'
}
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
cp "$build/win/frambolist-sim.exe" "$work/"
printf 'start word\nquit\n' > "$work/empty.txt"
timeout 120 "$wine" "$work/frambolist-sim.exe" "Z:$work/empty.txt" >/dev/null 2>&1
export_software "$work/before.reg"

# What registering the DLL at the installed path writes, to compare with
# what the package writes there.
mkdir -p "$folder"; cp "$build/win/frambolist.dll" "$folder/"
"$wine" "$regsvr32" /s "$installed_dll" >/dev/null 2>&1
ours > "$work/registered.txt"
"$wine" "$regsvr32" /s /u "$installed_dll" >/dev/null 2>&1
rm -rf "$folder"

refused_for_other_office() {
  "$wine64" reg add 'HKLM\SOFTWARE\Microsoft\Office\ClickToRun\Configuration' /v Platform /d "$other" /f /reg:64 >/dev/null 2>&1
  "$wine64" msiexec /i "$old" /qn >/dev/null 2>&1
  "$wine64" reg delete 'HKLM\SOFTWARE\Microsoft\Office\ClickToRun\Configuration' /v Platform /f /reg:64 >/dev/null 2>&1
  # Each condition says which one failed.
  [ ! -e "$folder/frambolist.dll" ] || { echo "installed: $folder/frambolist.dll"; return 1; }
  [ -z "$(product_entries)" ] || { echo "listed: $(product_entries)"; return 1; }
  msiinfo export "$work/out/Frambolist-1.0.0-$arch.msi" LaunchCondition | grep -q "install Frambolist for" ||
    { echo "the package has no launch condition naming the other package"; return 1; }
}
check "refused when the installed Office has the other bitness" refused_for_other_office

installs() {
  "$wine64" reg add 'HKLM\SOFTWARE\Microsoft\Office\ClickToRun\Configuration' /v Platform /d "$arch" /f /reg:64 >/dev/null 2>&1
  "$wine64" msiexec /i "$old" /qn >/dev/null 2>&1
  [ -e "$folder/frambolist.dll" ] && [ "$(product_entries)" = "Frambolist for $bits-bit Office|1.0.0|Frambolist" ]
}
check "installs per user for Office of its bitness, listed in Apps & features" installs
check "its registry rows are what DllRegisterServer writes" diff -u "$work/registered.txt" <(ours)

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
check "the signed package verifies, and fails with one byte changed" verification "$work/out/Frambolist-1.0.0-$arch.msi"
check "the installed, signed DLL verifies, and fails with one byte changed" verification "$folder/frambolist.dll"

session() (
  set -o pipefail  # the host program's status counts, not only its output
  classes_to_hklm
  timeout 120 "$wine" "$work/frambolist-sim.exe" "Z:$root/examples/typical-session.txt" 2>&1 | tr -d '\r' |
    diff -u "$root/examples/typical-session.expected" -
)
check "the typical session runs through the installed add-in" session
# The runner that scripts/main.sh uses passes the host program's status on.
runner_passes_status_on() {
  printf 'start word\nselect Nobody\n' > "$work/bad.txt"
  "$root/installer/run-installed.sh" "$build" "$work/out/Frambolist-1.0.0-$arch.msi" "$work/bad.txt"
  [ $? -eq 2 ]
}
check "installer/run-installed.sh exits with the host program's status 2" runner_passes_status_on

upgrades() {
  "$wine64" msiexec /i "$new" /qn >/dev/null 2>&1
  [ "$(product_entries)" = "Frambolist for $bits-bit Office|1.0.1|Frambolist" ] && [ -e "$folder/frambolist.dll" ] &&
    diff -u "$work/registered.txt" <(ours)
}
check "a newer package replaces the older: one product, 1.0.1" upgrades

refuses_downgrade() {
  local dll_before; dll_before=$(md5sum < "$folder/frambolist.dll")
  "$wine64" msiexec /i "$old" /qn >/dev/null 2>&1
  [ "$(product_entries)" = "Frambolist for $bits-bit Office|1.0.1|Frambolist" ] &&
    [ "$(md5sum < "$folder/frambolist.dll")" = "$dll_before" ]
}
check "an older package is refused and changes nothing" refuses_downgrade

uninstalls() {
  "$wine64" msiexec /x "$new" /qn >/dev/null 2>&1
  [ ! -e "$folder" ] && [ -z "$(product_entries)" ] || { echo "left: $(ls "$folder" 2>&1) $(product_entries)"; return 1; }
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
check "uninstalled, no file and no value of the add-in is left, and nothing else changed" uninstalls

echo "packages $bits-bit: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
