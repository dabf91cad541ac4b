#!/usr/bin/env bash
# Runs both fuzz targets: NUMBERS_RUNS inputs for the typed-number target and
# SESSION_RUNS for the session target, starting from the kept regression
# inputs. A crash leaves its input in fuzz/findings/.
# Usage: fuzz/run.sh BUILD_DIR NUMBERS_RUNS SESSION_RUNS
set -euo pipefail  # a fuzzer that finds a crash fails the run, not only its output
here=$(cd "$(dirname "$0")" && pwd)
build=$1
mkdir -p "$here/findings"
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
mkdir -p "$corpus/numbers" "$corpus/session"
cp "$here"/regressions/numbers/* "$corpus/numbers/" 2>/dev/null || true
cp "$here"/regressions/session/* "$corpus/session/" 2>/dev/null || true
"$build/numbers_fuzzer" -runs="$2" -seed=1 -artifact_prefix="$here/findings/" "$corpus/numbers" 2>&1 | tail -1
"$build/session_fuzzer" -runs="$3" -seed=1 -max_len=96 -artifact_prefix="$here/findings/" "$corpus/session" 2>&1 | tail -1
