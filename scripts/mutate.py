#!/usr/bin/env python3
"""Mutation testing of the core: does the native suite notice a developer's slip?

Makes each mutation in turn (a comparison flipped, a constant or a text
changed, an integer one more or one less, a statement dropped, arithmetic or
rounding changed, `continue` and `break` exchanged, a field left out of a
comparison, two arguments of a call swapped, one host's policy put in place
of another's) in a copy of the tree, rebuilds it
incrementally, runs the native suite and the examples, and counts the
mutation as caught when any of them fails. Prints each survivor and a
summary line.

    scripts/mutate.py                 a capped sample (about 17 minutes here)
    scripts/mutate.py --list          the mutations, without running them
    scripts/mutate.py --only connectors/size_editing.cpp
    scripts/mutate.py --jobs 2        parallel copies (one per core)
    scripts/mutate.py --com           the COM layer (win/com, win/addin):
                                      rebuilds the 64-bit DLL and runs the
                                      Windows tests and every example through
                                      COM under Wine for each change
    scripts/mutate.py --com --sample 60   a fixed sample of them
    scripts/mutate.py --all           every candidate once, not capped per file
    scripts/mutate.py --seed N        the capped sample drawn from seed N (each
                                      run prints the seed it drew from)

Mutations that no test can catch because the program behaves the same are
listed in scripts/mutation-equivalents.txt with the reason; they are run
like the others but leave the score. A mutation that does not compile counts
for nothing. Each mutation has a stable id, FILE:OPERATOR:LINE-HASH:N, that
survives edits elsewhere in the file.
"""

import argparse
import concurrent.futures
import hashlib
import os
import random
import re
import shutil
import subprocess
import sys
import time
from dataclasses import dataclass
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
CORE = ["src/host", "src/platform", "src/procs", "src/forms", "src/connectors"]
COM_LAYER = ["win/com", "win/addin"]
EQUIVALENTS = ROOT / "scripts" / "mutation-equivalents.txt"

# Headers are compiled into most of the tree, so each costs a long rebuild:
# a few mutations each keep the run short while still covering them.
PER_CPP = 12
PER_HEADER = 2
TEST_TIMEOUT = 60
# The native test programs, one per layer, cheapest first.
NATIVE_TESTS = [f"frambolist_{layer}_tests"
                for layer in ("host", "procs", "forms", "sim", "connectors", "hostprog")]


@dataclass
class Mutation:
    file: str
    line: int  # 1-based
    operator: str
    before: str  # the whole line
    after: str
    ident: str


# --- Operators -------------------------------------------------------------
# Each takes the line's code (string literals blanked so that operators never
# match inside texts) and yields (start, end, replacement) spans.

def _spans(pattern, replace):
    def op(code):
        for m in re.finditer(pattern, code):
            yield m.start(1), m.end(1), replace(m.group(1))
    return op


FLIP = {"==": "!=", "!=": "==", "<": "<=", "<=": "<", ">": ">=", ">=": ">",
        "&&": "||", "||": "&&"}
ARITH = {"+": "-", "-": "+", "*": "/", "/": "*"}
ROUNDING = {"round": "trunc", "trunc": "round", "floor": "ceil", "ceil": "floor",
            "lround": "lrint", "nearbyint": "trunc", "RoundToSingle": ""}


def _number(text):
    if re.fullmatch(r"-?\d+", text):
        value = int(text)
        return str(value + 1) if value != 1 else "0"
    if text.endswith("f"):
        return text[:-1] + "1f" if "." in text else text
    return text + "1" if "." in text else text


OPERATORS = {
    "flip-comparison": _spans(r" (==|!=|<=|>=|<|>|&&|\|\|) ", lambda s: FLIP[s]),
    "arithmetic": _spans(r"[\w)\]] ([-+*/]) [\w(]", lambda s: ARITH[s]),
    "negation": _spans(r"[(\s](!)(?!=)", lambda s: ""),
    "boolean": _spans(r"\b(true|false)\b", lambda s: "false" if s == "true" else "true"),
    "constant": _spans(r"(?<![\w.])(-?\d+(?:\.\d+)?f?)(?![\w.])(?!;\s*$)", _number),
    "rounding": _spans(r"\b(round|trunc|floor|ceil|lround|nearbyint|RoundToSingle)\(",
                       lambda s: ROUNDING[s]),
}


def _number_minus(text):
    """An integer literal one less (the `constant` operator makes it one more)."""
    if re.fullmatch(r"-?\d+", text):
        value = int(text)
        return str(value - 1) if value != 1 else text  # 1 -> 0 is `constant`'s already
    return text


# Calls whose two arguments can be given either way round.
SYMMETRIC_CALLS = {"EqualsIgnoringCase", "swap"}


def _swapped_arguments(code):
    """The first two arguments of a call, swapped, where both are simple and
    the order matters. The replacement is a function of the original line:
    the code has its texts blanked, and a swap moves them whole."""
    for m in re.finditer(r"(\w+)\(([^(),]+), ([^(),]+)[,)]", code):
        if m.group(1) in SYMMETRIC_CALLS:
            continue
        yield m.start(2), m.end(3), lambda body, m=m: (
            f"{body[m.start(3):m.end(3)].strip()}, {body[m.start(2):m.end(2)].strip()}")


OPERATORS.update({
    # A loop's `continue` made `break`, and a `break` made `continue` (one
    # in a switch outside a loop does not build, and counts for nothing).
    "continue-break": _spans(r"\b(continue|break)\s*;",
                             lambda s: "break" if s == "continue" else "continue"),
    # One field left out of a comparison over several: `a.x == b.x && a.y
    # == b.y` without its second conjunct.
    "drop-field": _spans(r"\S(\s&&\s[^&|;]*?==[^&|;]*?)(?=\s&&|\)|;|$)", lambda s: ""),
    "swap-arguments": _swapped_arguments,
    "constant-minus": _spans(r"(?<![\w.])(-?\d+)(?![\w.])(?!;\s*$)", _number_minus),
})


# One host's policy put in place of another's.
SWAPS = {
    "kResumeWithMessage": "kResumeSilently",
    "kResumeSilently": "kStopAtFirstFailure",
    "kStopAtFirstFailure": "kResumeWithMessage",
    "kPowerPointDisabling": "kWordDisabling",
    "kWordDisabling": "kPowerPointDisabling",
}
# Only where a host's traits are given: in a declaration or a case label
# the swap would not build.
OPERATORS["swap-policy"] = _spans(r"= (?:ConnectionPolicy::)?(" + "|".join(SWAPS) + r")\b,",
                                  lambda s: SWAPS[s])


def _blank_strings(line):
    """The line with every string and character literal's inside blanked."""
    return re.sub(r'"(?:[^"\\]|\\.)*"|\'(?:[^\'\\]|\\.)*\'',
                  lambda m: m.group(0)[0] + " " * (len(m.group(0)) - 2) + m.group(0)[-1], line)


def _is_code(line):
    s = line.strip()
    return s and not s.startswith(("//", "#", "*", "/*", "static_assert"))


def _texts(line):
    # A text the user or the host sees, made different by one letter.
    for m in re.finditer(r'"((?:[^"\\]|\\.)+)"', line):
        yield m.start(1), m.end(1), m.group(1) + "~"


def _statement_drop(line, header):
    # A call or an assignment standing alone on its line.
    s = line.strip()
    if header and re.match(r"^~?[A-Z]\w*\(.*\);$", s):
        return None  # a constructor's or destructor's declaration
    if not s.endswith(";") or s.startswith(("return", "throw", "case", "default", "break",
                                            "using", "namespace", "}", "{")):
        return None
    declaration = (r"^(const |constexpr |static |auto |virtual |inline |friend |explicit |"
                   r"(void|bool|char|int|double|float|size_t|u?int\d+_t) |"
                   r"[\w:]+(<.*>)?[&*]? \w+[({ =;])")
    if re.match(declaration, s) or s.endswith(("= default;", "= delete;", "= 0;")):
        return None  # a declaration: dropping it only stops the build
    if "(" not in s and " = " not in s and "+=" not in s and "++" not in s:
        return None
    if s.count("(") != s.count(")"):
        return None  # part of a statement spanning lines
    return line[: len(line) - len(line.lstrip())] + ";"


def _ident(path, operator, before, n):
    digest = hashlib.sha1(before.strip().encode()).hexdigest()[:8]
    return f"{path}:{operator}:{digest}:{n}"


def candidates(path):
    """Every mutation of one core file, in line order."""
    lines = (ROOT / path).read_text().splitlines(keepends=True)
    found = []
    seen = {}
    in_block_comment = False
    for number, line in enumerate(lines, 1):
        body = line.rstrip("\n")
        if "/*" in body and "*/" not in body:
            in_block_comment = True
        if in_block_comment:
            if "*/" in body:
                in_block_comment = False
            continue
        if not _is_code(body):
            continue
        # The code alone: texts blanked, and a trailing comment cut off.
        code = _blank_strings(body)
        if "//" in code:
            code = code[: code.index("//")]
        spans = []
        for name, op in OPERATORS.items():
            spans += [(name, a, b, r) for a, b, r in op(code)]
        spans += [("text", a, b, r) for a, b, r in _texts(body)
                  if b < len(code) and not body.lstrip().startswith(("#include", "extern"))]
        for name, a, b, r in spans:
            if callable(r):
                r = r(body)
            after = body[:a] + r + body[b:]
            if after != body:
                key = (name, body.strip())
                seen[key] = seen.get(key, 0) + 1
                found.append(Mutation(path, number, name, body, after,
                                      _ident(path, name, body, seen[key])))
        dropped = _statement_drop(body, path.endswith(".h"))
        if dropped is not None:
            key = ("drop-statement", body.strip())
            seen[key] = seen.get(key, 0) + 1
            found.append(Mutation(path, number, "drop-statement", body, dropped,
                                  _ident(path, "drop-statement", body, seen[key])))
    return found


def spread(items, count, seed=None):
    """`count` items of the list: spread evenly (always the same ones), or,
    with a seed, drawn at random from it (another seed, other ones)."""
    if len(items) <= count:
        return items
    if seed is not None:
        chosen = sorted(random.Random(seed).sample(range(len(items)), count))
        return [items[i] for i in chosen]
    step = len(items) / count
    return [items[int(i * step)] for i in range(count)]


def all_mutations(only=None, folders=CORE, every=False, seed=None):
    """Each file's candidates, capped per file unless `every`; the capped
    sample is drawn from `seed` (per file) where one is given."""
    result = []
    for folder in folders:
        for path in sorted((ROOT / folder).glob("*.[ch]*")):
            rel = str(path.relative_to(ROOT))
            if only and only not in rel:
                continue
            cap = PER_HEADER if rel.endswith(".h") else PER_CPP
            found = candidates(rel)
            if every:
                result += found
                continue
            # Every swap of hosts' policies runs; the rest are sampled.
            swaps = [m for m in found if m.operator == "swap-policy"]
            file_seed = None if seed is None else f"{seed}:{rel}"
            result += spread([m for m in found if m.operator != "swap-policy"], cap,
                             file_seed) + swaps
    return result


def load_equivalents():
    reasons = {}
    if EQUIVALENTS.exists():
        for line in EQUIVALENTS.read_text().splitlines():
            if line.strip() and not line.startswith("#"):
                ident, _, reason = line.partition(" ")
                reasons[ident] = reason.strip()
    return reasons


# --- Running ---------------------------------------------------------------

class NativeSuite:
    """The core's mutations: the native test program and the examples."""

    def configure(self, src, build):
        # Lightly optimised (the number oracles' million random texts take
        # ten times as long unoptimised, which outweighs the compile), without
        # debug information, linked by lld where it is installed, and the
        # tests listed when they run rather than after each link: every
        # second of a mutation counts a few hundred times.
        flags = ["-DCMAKE_BUILD_TYPE=", "-DCMAKE_CXX_FLAGS=-O1 -g0", "-DFRAMBOLIST_TESTS=ON",
                 "-DFRAMBOLIST_BENCHMARKS=OFF",
                 "-DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST"]
        if shutil.which("ld.lld"):
            flags.append("-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld")
        subprocess.run(["cmake", "-S", src, "-B", build, "-G", "Ninja", *flags], check=True,
                       capture_output=True)

    def rebuild(self, build):
        """Whether the test program and the host program build."""
        run = subprocess.run(["ninja", "-C", build, *NATIVE_TESTS, "frambolist-sim"],
                             capture_output=True)
        return run.returncode == 0

    def passes(self, src, build):
        try:
            for program in NATIVE_TESTS:
                tests = subprocess.run([build / program, "--gtest_fail_fast", "--gtest_brief=1"],
                                       capture_output=True, timeout=TEST_TIMEOUT)
                if tests.returncode != 0:
                    return False
            examples = subprocess.run([src / "scripts/check-examples.sh",
                                       build / "frambolist-sim"],
                                      capture_output=True, timeout=TEST_TIMEOUT)
            return examples.returncode == 0
        except subprocess.TimeoutExpired:
            return False  # a hang is caught too: the suite never finishes

    def finish(self, build):
        pass


class ComSuite:
    """The COM layer's mutations: the 64-bit DLL, registered in its own Wine
    prefix, then regsvr32, the Windows tests and every example through COM."""

    WINE = "/usr/lib/wine/wine64"

    def configure(self, src, build):
        subprocess.run(["cmake", "-S", src, "-B", build, "-G", "Ninja",
                        f"-DCMAKE_TOOLCHAIN_FILE={src}/win/cmake/mingw-w64-x86_64.cmake",
                        "-DCMAKE_BUILD_TYPE=MinSizeRel", "-DFRAMBOLIST_TESTS=ON"],
                       check=True, capture_output=True)
        self.env = dict(os.environ, WINEPREFIX=str(build / "prefix"), WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=")
        self.src, self.build = src, build
        # One headless prefix for the whole run, with one wineserver kept
        # alive (its output must not hold a pipe of ours open).
        quiet = dict(stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=self.env)
        subprocess.run([self.WINE, "wineboot", "-i"], timeout=600, **quiet)
        self._wine("reg", "add", "HKCU\\Software\\Wine\\Drivers", "/v", "Graphics", "/d",
                   "null", "/f")
        subprocess.run(["wineserver", "-k"], **quiet)
        subprocess.run(["wineserver", "-w"], **quiet)
        subprocess.run(["wineserver", "-p"], **quiet)
        for host in ["PowerPoint", "Excel", "Word"]:
            self._wine("reg", "add", f"HKCU\\Software\\Microsoft\\Office\\{host}\\Addins", "/f")

    def _wine(self, *args, cwd=None, timeout=120):
        return subprocess.run([self.WINE, *args], env=self.env, cwd=cwd,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              timeout=timeout)

    def _dll(self):
        return "Z:" + str(self.build / "win" / "frambolist.dll").replace("/", "\\")

    def rebuild(self, build):
        run = subprocess.run(["ninja", "-C", build, "frambolist", "frambolist-sim",
                              "frambolist_win_tests"], capture_output=True)
        return run.returncode == 0

    def passes(self, src, build):
        try:
            if self._wine("regsvr32", "/s", self._dll()).returncode != 0:
                return False
            self._wine("reg", "copy", "HKCU\\Software\\Classes", "HKLM\\Software\\Classes",
                       "/s", "/f", "/reg:64")
            tests = self._wine(str(build / "win/tests/frambolist_win_tests.exe"),
                               "--gtest_fail_fast", "--gtest_brief=1", cwd=build / "win")
            if tests.returncode != 0:
                return False
            examples = subprocess.run([src / "scripts/check-examples.sh",
                                       build / "win/frambolist-sim.exe", "timeout", "120",
                                       self.WINE],
                                      env=self.env, capture_output=True, timeout=900)
            return examples.returncode == 0
        except subprocess.TimeoutExpired:
            return False

    def finish(self, build):
        subprocess.run(["wineserver", "-k"], env=self.env, capture_output=True)


def prepare(workdir, suite):
    """A copy of the tracked tree with its own build, built once."""
    src = workdir / "tree"
    if src.exists():
        shutil.rmtree(src)
    files = subprocess.run(["git", "ls-files", "-co", "--exclude-standard"], cwd=ROOT,
                           check=True, capture_output=True, text=True).stdout.split()
    for rel in files:
        if (ROOT / rel).is_file():
            (src / rel).parent.mkdir(parents=True, exist_ok=True)
            shutil.copy2(ROOT / rel, src / rel)
    build = workdir / "build"
    try:
        suite.configure(src, build)
    except subprocess.CalledProcessError:
        # A build kept from an older toolchain refuses to configure: the
        # incremental build is only a speed-up, so start it afresh.
        shutil.rmtree(build)
        suite.configure(src, build)
    if not suite.rebuild(build) or not suite.passes(src, build):
        sys.exit(f"the unmutated tree must build and pass its suite: {build}")
    return src, build


def run_batch(workdir, mutations, suite):
    """Runs mutations (grouped by file) in one copy; returns (mutation, outcome) pairs."""
    src, build = prepare(workdir, suite)
    by_file = {}
    for m in mutations:
        by_file.setdefault(m.file, []).append(m)
    results = []
    for path, group in by_file.items():
        target = src / path
        original = target.read_text()
        lines = original.splitlines(keepends=True)
        for m in group:
            mutated = list(lines)
            mutated[m.line - 1] = m.after + "\n"
            target.write_text("".join(mutated))
            if not suite.rebuild(build):
                outcome = "no-build"
            else:
                outcome = "survived" if suite.passes(src, build) else "caught"
            results.append((m, outcome))
            print(f"  {outcome:8} {m.ident}", flush=True)
        target.write_text(original)
    suite.rebuild(build)
    suite.finish(build)
    return results


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--list", action="store_true", help="list the mutations and stop")
    parser.add_argument("--only", help="only files whose path contains this")
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--workdir", default=None)
    parser.add_argument("--com", action="store_true",
                        help="the COM layer through COM under Wine, not the core")
    parser.add_argument("--sample", type=int,
                        help="run this many of the mutations, spread evenly (always the same)")
    parser.add_argument("--all", action="store_true",
                        help="every candidate once, no cap per file (hours, not for CI)")
    parser.add_argument("--seed", type=int,
                        help="draw the capped sample from this seed (default: a new one, printed)")
    args = parser.parse_args()

    seed = None
    if not args.all:
        seed = args.seed if args.seed is not None else random.randrange(1 << 31)
        print(f"sample drawn from seed {seed} (--seed {seed} draws it again)", flush=True)
    mutations = all_mutations(args.only, COM_LAYER if args.com else CORE, args.all, seed)
    if args.sample:
        mutations = spread(mutations, args.sample)
    equivalents = load_equivalents()
    if args.list:
        for m in mutations:
            mark = "  [equivalent]" if m.ident in equivalents else ""
            print(f"{m.ident}  {m.file}:{m.line}{mark}\n    - {m.before.strip()}\n"
                  f"    + {m.after.strip()}")
        print(f"{len(mutations)} mutations")
        if not args.only and not args.sample:
            # An entry whose line has changed since names no mutation any more.
            # Against every candidate: a seeded sample leaves some out.
            folders = COM_LAYER if args.com else CORE
            made = {m.ident for m in all_mutations(None, folders, every=True)}
            for ident in equivalents:
                if ident.startswith(tuple(folders)) and ident not in made:
                    print(f"stale entry in {EQUIVALENTS.name}: {ident}")
        return 0

    started = time.monotonic()
    workdir = Path(args.workdir or ("/tmp/frambolist-mutation" + ("-com" if args.com else "")))
    # Files go to the copies whole, so that each file's mutations share one
    # rebuild order; the biggest groups are dealt first.
    groups = {}
    for m in mutations:
        groups.setdefault(m.file, []).append(m)
    batches = [[] for _ in range(max(1, args.jobs))]
    for group in sorted(groups.values(), key=len, reverse=True):
        min(batches, key=len).extend(group)
    results = []
    with concurrent.futures.ThreadPoolExecutor(len(batches)) as pool:
        futures = [pool.submit(run_batch, workdir / f"copy{i}", batch,
                               ComSuite() if args.com else NativeSuite())
                   for i, batch in enumerate(batches) if batch]
        for future in futures:
            results += future.result()

    caught = [m for m, o in results if o == "caught"]
    survived = [m for m, o in results if o == "survived"]
    unbuilt = [m for m, o in results if o == "no-build"]
    equivalent_survivors = [m for m in survived if m.ident in equivalents]
    real_survivors = [m for m in survived if m.ident not in equivalents]
    wrongly_marked = [m for m in caught if m.ident in equivalents]
    scored = len(caught) + len(real_survivors)
    files = {m.file for m, o in results if o != "no-build"}

    print()
    for m in real_survivors:
        print(f"SURVIVED {m.ident}  {m.file}:{m.line}\n    - {m.before.strip()}\n"
              f"    + {m.after.strip()}")
    for m in wrongly_marked:
        print(f"MARKED EQUIVALENT BUT CAUGHT {m.ident}: remove it from {EQUIVALENTS.name}")
    minutes = (time.monotonic() - started) / 60
    score = 100.0 * len(caught) / scored if scored else 0.0
    print(f"mutation score: {score:.1f}% ({len(caught)} caught of {scored}; "
          f"{len(equivalent_survivors)} equivalent, {len(unbuilt)} did not build; "
          f"{len(results) - len(unbuilt)} run over {len(files)} files in {minutes:.1f} min)")
    return 0 if not real_survivors and not wrongly_marked else 1


if __name__ == "__main__":
    sys.exit(main())
