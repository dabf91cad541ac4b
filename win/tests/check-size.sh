#!/usr/bin/env bash
# Fails when a DLL grows past its size, and then shows where its bytes come
# from, by library and by our own folder, from the link map beside it.
# Usage: check-size.sh DLL MAX_BYTES
set -eu
dll=$1 max=$2
size=$(stat -c %s "$dll")
if [ "$size" -le "$max" ]; then
  echo "$(basename "$dll"): $size bytes, at most $max"
  exit 0
fi
echo "$dll: $size bytes, over its $max"
map=${dll%.dll}.map
if [ -f "$map" ]; then "$(dirname "$0")/../../scripts/dll-bytes.py" "$map" --objects; fi
exit 1
