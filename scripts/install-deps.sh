#!/usr/bin/env bash
# Installs, with apt-get, whatever the native build lacks. Safe to run twice.
set -eu
need=()
for pkg in cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev; do
  dpkg -s "$pkg" >/dev/null 2>&1 || need+=("$pkg")
done
if [ ${#need[@]} -gt 0 ]; then
  echo "installing: ${need[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${need[@]}" >/dev/null
fi
