#!/usr/bin/env bash
# Installs, with apt-get, whatever the build lacks. Safe to run twice.
# Usage: install-deps.sh [--windows]   (--windows: MinGW-w64 and Wine too)
set -eu
packages=(cmake ninja-build g++ libexpat1-dev libgtest-dev libgmock-dev libbenchmark-dev googletest clang clang-tidy-16 libclang-rt-14-dev)
if [ "${1:-}" = "--windows" ]; then
  packages+=(g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32 mingw-w64-tools binutils-mingw-w64-x86-64 wine64
             wixl msitools osslsigncode openssl)
fi
need=()
for pkg in "${packages[@]}"; do
  dpkg -s "$pkg" >/dev/null 2>&1 || need+=("$pkg")
done
if [ ${#need[@]} -gt 0 ]; then
  echo "installing: ${need[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${need[@]}" >/dev/null
fi
