#!/usr/bin/env python3
"""The mutation operators added for the slips the capped run never made,
each on a line of scripts/tests/mutation-sample.cpp: what it makes of it."""

import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent))
import mutate  # noqa: E402

SAMPLE = Path(__file__).with_name("mutation-sample.cpp").read_text().splitlines()[1:]


def made(operator, line):
    code = mutate._blank_strings(line)
    return [line[:a] + (r(line) if callable(r) else r) + line[b:]
            for a, b, r in mutate.OPERATORS[operator](code)]


EXPECTED = [
    ("continue-break", 0, ["for (auto& s : shapes) if (s.hidden) break;"]),
    ("continue-break", 1, ["if (found) continue;"]),
    ("drop-field", 2, ["return a.width == b.width;"]),
    ("swap-arguments", 3, ["Resize(height, width);"]),
    ("swap-arguments", 4, ["std::vector<int> limits(3, 8);"]),
    # Texts move whole; a symmetric comparison is left alone.
    ("swap-arguments", 5, ['Put(value, "Caption");']),
    ("swap-arguments", 6, []),
    ("constant-minus", 4, ["std::vector<int> limits(7, 3);", "std::vector<int> limits(8, 2);"]),
]


def main():
    failures = 0
    for operator, index, expected in EXPECTED:
        got = made(operator, SAMPLE[index])
        if got != expected:
            failures += 1
            print(f"{operator} on {SAMPLE[index]!r}: {got}, expected {expected}")
    print(f"{len(EXPECTED) - failures} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
