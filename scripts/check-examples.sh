#!/usr/bin/env bash
# Runs every examples/*.txt through a host program and compares its output
# with examples/*.expected. Usage: check-examples.sh HOST_PROGRAM [RUNNER...]
# (RUNNER, if given, is put in front: the Windows host program runs under Wine.)
#   check-examples.sh --update HOST_PROGRAM   writes every .expected anew from
#   the program's output, for a human to review in the diff (after a change
#   that changes what the examples print: a new control, say).
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
if [ "${1:-}" = "--update" ]; then
  program=$2
  for script in "$here"/examples/*.txt; do
    "$program" "$script" > "${script%.txt}.expected" 2>&1 ||
      echo "status $?: $(basename "$script") (kept as it printed)"
  done
  exit 0
fi
program=$1; shift
passed=0; failed=0
diff_file=$(mktemp) output_file=$(mktemp)
trap 'rm -f "$diff_file" "$output_file"' EXIT
for script in "$here"/examples/*.txt; do
  expected=${script%.txt}.expected
  # The program's status counts as much as its output: a leak (3) or a
  # modal breach (4) prints nothing else.
  "$@" "$program" "$script" > "$output_file" 2>&1
  status=$?
  if diff -u "$expected" <(tr -d '\r' < "$output_file") > "$diff_file" && [ "$status" -eq 0 ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $(basename "$script") (status $status)"; cat "$diff_file"
  fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
