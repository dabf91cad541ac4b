#!/usr/bin/env bash
# The static checks that .clang-tidy keeps, on all of our own code: the core,
# the simulation and the host program through the native build's compile
# database, and the Windows binding (win/) through the 64-bit cross build's,
# with MinGW-w64's headers in place of the system's. Any finding fails, and
# is printed; a clean run prints one line.
#
#   scripts/tidy.sh [NATIVE_BUILD [WINDOWS_BUILD]]    (build, build-win64)
set -euo pipefail
cd "$(dirname "$0")/.."
native=${1:-build}
windows=${2:-build-win64}
log=$(mktemp)
trap 'rm -f "$log"' EXIT

# LLVM 16: the first whose clang reads the <source_location> that the
# cross build's standard library has.
tidy() {
  if ! run-clang-tidy-16 -quiet -j "$(nproc)" "$@" >"$log" 2>&1; then
    grep -v -e '^clang-tidy-16 ' -e '^[0-9]* warnings* generated' "$log" >&2 || true
    echo "clang-tidy: findings (above)" >&2
    exit 1
  fi
}

tidy -p "$native" "^$PWD/(src/[a-z_]+|sim|hostprog)/[a-z_0-9]+\.cpp$"

# The cross compiler's C++ headers and MinGW-w64's, as it searches them.
cross=$(python3 -c 'import json, sys; print(json.load(open(sys.argv[1]))[0]["command"].split()[0])' \
  "$windows/compile_commands.json")
target=$("$cross" -dumpmachine)
extra=(-extra-arg-before="--target=$target" -extra-arg=-nostdinc++)
while read -r dir; do
  extra+=(-extra-arg="-isystem$dir")
done < <("$cross" -E -x c++ - -v </dev/null 2>&1 |
  sed -n '/search starts here:/,/End of search list/s/^ \(\/.*\)/\1/p' |
  grep -E -e '/c\+\+' -e "/$target/include\$")
tidy -p "$windows" "${extra[@]}" "^$PWD/win/.*\.cpp$"
echo "clang-tidy: no findings"
