#!/usr/bin/env python3
"""Fails when an entry point of the Windows binding runs its body outside the
one guard.

Entry points are what Windows or a host calls into our code: COM methods
(STDMETHODIMP), the exports (extern "C") and window procedures and other
system callbacks (CALLBACK), defined in a source file or in a class body, in
the DLL (win/addin, win/com, win/ui), the host program (win/comhost) and the
hosts it serves (win/served_hosts). Each must run its body through Guarded or
GuardedCallback, so that no C++ exception reaches the caller. One that cannot throw says why in
a comment on the line above it:

    // cannot throw: counts
    STDMETHODIMP_(ULONG) AddRef() override { ... }
"""
import pathlib
import re
import sys

FOLDERS = ("addin", "com", "ui", "comhost", "served_hosts")
ENTRY = re.compile(
    r'^\s*(?:STDMETHODIMP(?:_\(\w+\))?|extern "C" \w+ (?:WINAPI|STDAPICALLTYPE)|(?:static )?\w+ (?:CALLBACK|WINAPI))'
    r' +([\w:]+)\(')
EXEMPT = re.compile(r"//\s*cannot throw:\s*\S")


def body_of(lines, start):
    """The definition's lines from `start` to its closing brace, or None for
    a declaration (a semicolon before any brace)."""
    depth, seen_brace, body = 0, False, []
    for line in lines[start:]:
        code = line.split("//")[0]
        for char in code:
            if char == ";" and not seen_brace and depth == 0:
                return None
            if char == "{":
                depth += 1
                seen_brace = True
            elif char == "}":
                depth -= 1
        body.append(line)
        if seen_brace and depth <= 0:
            return body
    return body


def main():
    root = pathlib.Path(__file__).resolve().parent.parent / "win"
    failures, checked, exempt = [], 0, 0
    paths = sorted(p for folder in FOLDERS for pattern in ("*.cpp", "*.h")
                   for p in (root / folder).glob(pattern))
    for path in paths:
        lines = path.read_text().splitlines()
        for i, line in enumerate(lines):
            match = ENTRY.match(line)
            if not match:
                continue
            body = body_of(lines, i)
            if body is None:
                continue
            where = f"{path.relative_to(root.parent)}:{i + 1}: {match.group(1)}"
            if i > 0 and EXEMPT.search(lines[i - 1]):
                exempt += 1
                continue
            checked += 1
            if not any("Guarded(" in b or "GuardedCallback(" in b for b in body):
                failures.append(f"{where} runs outside the guard (or says why it cannot throw)")
    for failure in failures:
        print(failure)
    print(f"entry points: {checked} guarded, {exempt} that cannot throw, {len(failures)} unguarded")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
