#!/usr/bin/env python3
"""Fails when an entry point of the DLL runs its body outside the one guard.

Entry points are what Windows or a host calls into the DLL: COM methods
(STDMETHODIMP), the exports (extern "C"), window procedures and other system
callbacks (CALLBACK). Each must run its body through Guarded or
GuardedCallback, so that no C++ exception reaches the caller; the few below
that cannot throw (they only count, compare or copy pointers) are named.
"""
import pathlib
import re
import sys

CANNOT_THROW = {
    "QueryInterface", "AddRef", "Release", "GetTypeInfoCount", "GetTypeInfo", "InterfaceSupportsErrorInfo",
    "LockServer", "DllMain", "DllCanUnloadNow",
    "AddinObject::GetIDsOfNames",  # compares the name with a fixed table
}
ENTRY = re.compile(r'^(?:STDMETHODIMP(?:_\(\w+\))?|extern "C" \w+ (?:WINAPI|STDAPICALLTYPE)|\w+ CALLBACK) +([\w:]+)\(')

root = pathlib.Path(__file__).resolve().parent.parent / "win"
failures, checked = [], 0
for path in sorted(p for d in ("addin", "com", "ui") for p in (root / d).glob("*.cpp")):
    lines = path.read_text().splitlines()
    for i, line in enumerate(lines):
        match = ENTRY.match(line)
        if not match:
            continue
        name = match.group(1)
        if name in CANNOT_THROW or name.split("::")[-1] in CANNOT_THROW:
            continue
        body = []
        for later in lines[i:]:
            body.append(later)
            if later.startswith("}"):
                break
        checked += 1
        if not any("Guarded(" in b or "GuardedCallback(" in b for b in body):
            failures.append(f"{path.relative_to(root.parent)}:{i + 1}: {name} runs outside the guard")
for failure in failures:
    print(failure)
print(f"entry points: {checked} checked, {len(failures)} unguarded")
sys.exit(1 if failures else 0)
