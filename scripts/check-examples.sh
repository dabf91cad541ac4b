#!/usr/bin/env bash
# Runs every examples/*.txt through a host program and compares its output
# with examples/*.expected. Usage: check-examples.sh HOST_PROGRAM [RUNNER...]
# (RUNNER, if given, is put in front: the Windows host program runs under Wine.)
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
program=$1; shift
passed=0; failed=0
diff_file=$(mktemp)
trap 'rm -f "$diff_file"' EXIT
for script in "$here"/examples/*.txt; do
  expected=${script%.txt}.expected
  if diff -u "$expected" <("$@" "$program" "$script" 2>&1 | tr -d '\r') > "$diff_file"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $(basename "$script")"; cat "$diff_file"
  fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
