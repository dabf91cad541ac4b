#!/usr/bin/env bash
# Prints a DLL's size and imports, and fails if it imports anything but
# system DLLs (no libgcc, libstdc++ or winpthread beside it).
# Usage: check-imports.sh OBJDUMP DLL
set -eu
objdump=$1 dll=$2
allowed='^(KERNEL32|USER32|GDI32|ADVAPI32|ole32|OLEAUT32|SHELL32|msvcrt)\.dll$'
echo "$(basename "$dll"): $(stat -c %s "$dll") bytes"
imports=$("$objdump" -p "$dll" | sed -n 's/^\s*DLL Name: //p')
echo "imports: $(echo $imports)"
bad=$(echo "$imports" | grep -Eiv "$allowed" || true)
if [ -n "$bad" ]; then echo "not a system DLL: $bad"; exit 1; fi
