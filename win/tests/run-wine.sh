#!/usr/bin/env bash
# Runs the Windows tests under Wine, headless, in a throw-away prefix:
# registration (and its registry values), the COM layer's tests, every
# example script through COM against the same expected output as natively,
# and unregistration leaving the registry as it was.
# Usage: run-wine.sh BUILD_DIR   (a MinGW-w64 build, 64- or 32-bit: the 32-bit
# one runs in 32-bit Wine, as in a 32-bit Office on 64-bit Windows)
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "$1" && pwd)
work=$(mktemp -d /tmp/frambolist-wine.XXXXXX)
. "$root/win/wine-env.sh"
wine_for_build "$build"
echo "Windows tests, $bits-bit"
passed=0; failed=0
check() {  # check NAME COMMAND...: one test, counted
  local name=$1; shift
  if "$@" > "$work/last.log" 2>&1; then
    passed=$((passed + 1)); echo "ok: $name"
  else
    failed=$((failed + 1)); echo "FAILED: $name"; sed 's/^/  /' "$work/last.log" | tr -d '\r' | head -40
  fi
}
cleanup() { wineserver -k >/dev/null 2>&1; rm -rf "$work"; }
trap cleanup EXIT

new_wine_prefix "$work/prefix"
# Heap tail and free checking (FLG_HEAP_ENABLE_TAIL_CHECK | FREE_CHECK): a
# block used after it is freed faults instead of passing unseen. Read when a
# process starts.
"$wine64" reg add 'HKLM\System\CurrentControlSet\Control\Session Manager' /v GlobalFlag /t REG_DWORD /d 0x30 /f >/dev/null 2>&1
cp "$build/win/frambolist.dll" "$build/win/frambolist-sim.exe" "$build/win/tests/frambolist_win_tests.exe" \
   "$build/win/tests/frambolist_load_benchmark.exe" "$work/"
dll='Z:'"${work//\//\\}"'\frambolist.dll'

export_software() {  # the keys and values under HKCU\Software, one per line, sorted
  "$wine64" reg export 'HKCU\Software' "$1" /y >/dev/null 2>&1
  iconv -f utf-16 -t utf-8 < "$1" | tr -d '\r' | sort > "$1.sorted"
}

registered_values() {
  local out=$work/values.txt
  for host in PowerPoint Excel Word; do "$wine64" reg query "HKCU\\Software\\Microsoft\\Office\\$host\\Addins" /s; done > "$out" 2>&1
  # The classes in the registry view of the DLL's bitness.
  for id in Connect ConnectXl ConnectWd; do
    "$wine64" reg query "HKCU\\Software\\Classes\\Kworrendival.$id\\CLSID" $view >> "$out" 2>&1
    clsid=$(tr -d '\r' < "$out" | grep -o '{[0-9A-F-]*}' | tail -1)
    "$wine64" reg query "HKCU\\Software\\Classes\\CLSID\\$clsid\\InprocServer32" $view >> "$out" 2>&1
    "$wine64" reg query "HKCU\\Software\\Classes\\CLSID\\$clsid\\ProgID" $view >> "$out" 2>&1
  done
  local text; text=$(tr -d '\r' < "$out")
  for want in "Addins\\Kworrendival.Connect" "Addins\\Kworrendival.ConnectXl" "Addins\\Kworrendival.ConnectWd" \
              "LoadBehavior    REG_DWORD    0x3" "CommandLineSafe    REG_DWORD    0x0" \
              "FriendlyName    REG_SZ    Office Frambolist" \
              "Description    REG_SZ    Creates a Frambolist Toolbar for MS Office" \
              "ThreadingModel    REG_SZ    Apartment" "REG_SZ    $dll" \
              "REG_SZ    Kworrendival.ConnectWd"; do
    grep -qF -- "$want" <<< "$text" || { echo "missing: $want"; echo "$text"; return 1; }
  done
  [ "$(grep -c 'LoadBehavior' <<< "$text")" -eq 3 ]
}

# On a user's machine Office has made its add-in keys, and the classes key
# exists; registration adds below them and unregistration removes nothing
# above its own keys.
for key in 'HKCU\Software\Classes\CLSID' 'HKCU\Software\Microsoft\Office\PowerPoint\Addins' \
           'HKCU\Software\Microsoft\Office\Excel\Addins' 'HKCU\Software\Microsoft\Office\Word\Addins'; do
  "$wine64" reg add "$key" /f >/dev/null 2>&1
done
export_software "$work/before.reg"
check "regsvr32 registers the library" "$wine" "$regsvr32" "$dll"
check "registration writes the classes and each host's add-in entry under HKCU" registered_values
# Another program has added below one of our keys: unregistering still
# removes everything of ours, the add-in entries included.
"$wine64" reg add 'HKCU\Software\Microsoft\Office\Excel\Addins\Kworrendival.ConnectXl\Added by another' /v x /d y /f >/dev/null 2>&1
"$wine64" reg add 'HKCU\Software\Classes\Kworrendival.Connect\Added by another' $view /f >/dev/null 2>&1
check "regsvr32 /u unregisters it" "$wine" "$regsvr32" /u "$dll"
export_software "$work/after.reg"
check "unregistering leaves the registry as it was" diff -U0 "$work/before.reg.sorted" "$work/after.reg.sorted"

# Register again for the runs.
"$wine" "$regsvr32" "$dll" >/dev/null 2>&1
classes_to_hklm

check "COM layer tests" "$wine" "$work/frambolist_win_tests.exe"
for script in "$root"/examples/*.txt; do
  name=$(basename "$script" .txt)
  # Status 3 would mean a host object still referenced, or DllCanUnloadNow refusing.
  check "example $name through COM" bash -o pipefail -c "timeout 120 '$wine' '$work/frambolist-sim.exe' 'Z:$script' 2>&1 | tr -d '\r' | diff -u '${script%.txt}.expected' -"
done
# At 144 DPI a twip is 0.1 pixel: every control must still stand at its
# design position and size, to within one pixel (10 twips) of rounding.
within_a_pixel() {
  "$wine64" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
  timeout 120 "$wine" "$work/frambolist-sim.exe" "Z:$root/examples/dialog-layout.txt" 2>&1 | tr -d '\r' > "$work/layout144.txt"
  "$wine64" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
  paste -d'|' "$root/examples/dialog-layout.expected" "$work/layout144.txt" | awk -F'|' '
    { n = split($1, a, " = "); m = split($2, b, " = ") }
    $1 ~ /\.(Left|Top|Width|Height) = / {
      d = a[2] - b[2]; if (d < 0) d = -d
      if (a[1] != b[1] || d > 10) { print "off: " $1 " | " $2; bad = 1 }
      if (a[2] != b[2]) scaled = 1
      next }
    $1 != $2 { print "differs: " $1 " | " $2; bad = 1 }
    END { if (!scaled) print "no rounding seen: was the DPI applied?"; exit bad || !scaled }'
}
check "the dialogs keep their design at 144 DPI" within_a_pixel
check "a script error ends the run with status 2 through COM" sh -c \
  "printf 'start word\nselect Nobody\n' > '$work/bad.txt'; timeout 60 '$wine' '$work/frambolist-sim.exe' 'Z:$work/bad.txt'; [ \$? -eq 2 ]"
# The runner that scripts/main.sh and a developer use passes that status on.
check "win/run-script.sh exits with the host program's status 2" sh -c \
  "'$root/win/run-script.sh' '$build' '$work/bad.txt' >/dev/null 2>&1; [ \$? -eq 2 ]"

# Wine's full heap checking (WINEDEBUG=+heap) validates every block on every
# heap call: an overrun or a use after free prints err:heap (and the process
# usually hangs there). GlobalFlag 0x30 and warn+heap miss an 8-byte write
# past a 16-byte block; +heap does not. It is slow, so it runs the cases
# where lifetimes are delicate: a host that lets go during a modal window,
# the units dialog and its keys, the About box, and the same from scripts.
heap_checked() {  # heap_checked NAME COMMAND...: status 0 and no err:heap
  WINEDEBUG=+heap timeout 120 "$@" > "$work/heap.out" 2> "$work/heap.err"
  local status=$?
  local faults; faults=$(grep -c 'err:heap' "$work/heap.err")
  grep -m3 -E "err:heap|script error|leak|modal fault" "$work/heap.err"
  [ "$status" -eq 0 ] && [ "$faults" -eq 0 ] || { echo "status $status, $faults heap faults"; return 1; }
}
# A failure stopped at the COM boundary leaves one line on the debugger's
# channel, naming the entry point and the exception. Wine 8 writes
# OutputDebugString on its seh channel (warn:seh), other versions on
# debugstr: both are on.
debug_line_is_written() {
  WINEDEBUG=+debugstr,warn+seh timeout 120 "$wine" "$work/frambolist_win_tests.exe" \
    --gtest_filter='ComTest.TheGuardTurnsEveryExceptionIntoAResult' > /dev/null 2> "$work/debug.err"
  grep -m1 'Frambolist: .*TheGuardTurnsEveryExceptionIntoAResult.*: planted failure' "$work/debug.err"
}
check "a failure stopped at the boundary is written to the debug output" debug_line_is_written
check "under +heap: a host that lets go during a modal window, and Enter in the units dialog" \
  heap_checked "$wine" "$work/frambolist_win_tests.exe" \
  --gtest_filter='OfficeFaithful.AHostThatLetsGo*:OfficeFaithful.Enter*'
heap_output_is_expected() {  # heap_output_is_expected EXAMPLE
  heap_checked "$wine" "$work/frambolist-sim.exe" "Z:$root/examples/$1.txt" &&
    tr -d '\r' < "$work/heap.out" | diff -u "$root/examples/$1.expected" -
}
for example in host-leaves-during-dialogs addin-switched-off-during-about units-dialog about-box \
    ribbon-windows; do
  check "under +heap: example $example" heap_output_is_expected "$example"
done

# Figures: the late-bound calls per action through COM, and the
# load figures beside the floor's, in a prefix of their own without heap
# checking. Each counts as a check only in that its programs must run.
if (set -o pipefail; timeout 120 "$wine" "$work/frambolist_load_benchmark.exe" 2>&1 | tr -d '\r' |
    grep '^calls' | sed 's/^/figure: /'); then
  passed=$((passed + 1)); echo "ok: the calls per action were counted"
else
  failed=$((failed + 1)); echo "FAILED: the calls per action"
fi
if (set -o pipefail; unset WINEPREFIX; "$here/load-figures.sh" "$build" 21 2>&1 | sed 's/^/figure: /'); then
  passed=$((passed + 1)); echo "ok: the load figures ran in every process"
else
  failed=$((failed + 1)); echo "FAILED: the load figures"
fi
# A registered DLL that has been moved: the host program says why the add-in
# did not load, as Office lists a load failure.
moved_dll_is_reported() {
  mv "$work/frambolist.dll" "$work/frambolist.moved"
  printf 'start word\nquit\n' > "$work/moved.txt"
  local out; out=$(timeout 60 "$wine" "$work/frambolist-sim.exe" "Z:$work/moved.txt" 2>&1 | tr -d '\r')
  mv "$work/frambolist.moved" "$work/frambolist.dll"
  echo "$out"
  grep -q '^not loaded: Kworrendival.ConnectWd: its library could not be loaded' <<< "$out"
}
check "a moved DLL is reported as not loaded" moved_dll_is_reported

echo "$bits-bit: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
