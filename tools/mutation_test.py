#!/usr/bin/env python3
"""Seeded mutation testing: how many small faults planted in src/ does the test suite notice?

  mutation_test.py pick   --seed 7 --per-folder 7 > mutants.json   choose the mutants (they must compile)
  mutation_test.py run    mutants.json                              plant each, rebuild, run ctest

Each mutant changes one line of one .cpp file: a flipped comparison (< and <=, > and >=, == and !=),
an integer constant off by one, or a dropped statement (an assignment, increment or call). Mutants
that do not compile are skipped while picking, so every listed mutant builds. "run" plants each
mutant in turn into the checkout, rebuilds the build tree, runs the tests (stopping at the first
failure) and restores the file; a mutant is killed when a test fails or the run times out. Give the
same mutants.json to two versions of the tests to compare their power on identical faults.

The checkout must be clean (the script restores files with git) and configured in --build.
"""
import argparse
import json
import os
import random
import re
import subprocess
import sys
import time

FOLDERS = ["board", "search", "eval", "book", "pgn", "xboard"]
FLIPS = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "=="}
COMPARISON = re.compile(r"(?<=\s)(<=|>=|==|!=|<|>)(?=\s)")
INTEGER = re.compile(r"(?<![\w.'\"])(\d+)(?![\w.'\"])")
STATEMENT = re.compile(r"^\s*(\+\+|--)?[A-Za-z_][\w.\->\[\]]*(\(.*\)|\s*(=|\+=|-=|\*=|/=|\|=|&=|\^=|<<=|>>=)\s*[^=].*"
                       r"|\+\+|--);\s*$")


def code_lines(path):
    """(number, text) of the lines worth mutating: no comments, strings or preprocessor lines."""
    result = []
    with open(path, encoding="latin-1") as f:
        for number, text in enumerate(f, 1):
            stripped = text.strip()
            if not stripped or stripped.startswith(("//", "#", "*", "/*", "static_assert")) or '"' in stripped:
                continue
            result.append((number, text.rstrip("\n")))
    return result


def mutations_of(text):
    """Every single mutation of one line as (kind, new text)."""
    found = []
    code = text.split("//")[0]
    for m in COMPARISON.finditer(code):
        found.append(("flip " + m.group(1), text[:m.start()] + FLIPS[m.group(1)] + text[m.end():]))
    for m in INTEGER.finditer(code):
        found.append(("constant " + m.group(1), text[:m.start()] + str(int(m.group(1)) + 1) + text[m.end():]))
    if STATEMENT.match(code) and not code.strip().startswith(("return", "break", "continue")):
        indent = text[:len(text) - len(text.lstrip())]
        found.append(("drop", indent + ";  // dropped"))
    return found


def run(command, cwd, timeout=None):
    try:
        return subprocess.run(command, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              timeout=timeout).returncode
    except subprocess.TimeoutExpired:
        return "timeout"


def plant(tree, mutant):
    path = os.path.join(tree, mutant["file"])
    with open(path, encoding="latin-1") as f:
        lines = f.read().split("\n")
    assert lines[mutant["line"] - 1] == mutant["before"], "the source changed since the mutants were picked"
    lines[mutant["line"] - 1] = mutant["after"]
    with open(path, "w", encoding="latin-1") as f:
        f.write("\n".join(lines))


def restore(tree, mutant):
    subprocess.run(["git", "checkout", "--", mutant["file"]], cwd=tree, check=True)


def build(args):
    return run(["cmake", "--build", args.build, "-j", str(args.jobs), "--target", "zelmora_tests", "zelmora"],
               args.tree)


def pick(args):
    rng = random.Random(args.seed)
    mutants = []
    for folder in args.folders:
        files = sorted(os.path.join("src", folder, f) for f in os.listdir(os.path.join(args.tree, "src", folder))
                       if f.endswith(".cpp"))
        chosen, attempts = 0, 0
        while chosen < args.per_folder and attempts < 50 * args.per_folder:
            attempts += 1
            path = rng.choice(files)
            lines = code_lines(os.path.join(args.tree, path))
            if not lines:
                continue
            number, text = rng.choice(lines)
            options = mutations_of(text)
            if not options:
                continue
            kind, after = rng.choice(options)
            mutant = {"file": path, "line": number, "kind": kind, "before": text, "after": after}
            if mutant in mutants:
                continue
            plant(args.tree, mutant)
            compiles = build(args) == 0
            restore(args.tree, mutant)
            print("%-5s %s:%d %s" % ("ok" if compiles else "skip", path, number, kind), file=sys.stderr)
            if compiles:
                mutants.append(mutant)
                chosen += 1
    build(args)
    json.dump(mutants, sys.stdout, indent=1)
    print()


def run_mutants(args):
    with open(args.mutants) as f:
        mutants = json.load(f)
    if build(args) != 0 or run(["ctest", "--test-dir", args.build, "-j", str(args.jobs)], args.tree) != 0:
        sys.exit("the unmutated suite must build and pass first")
    killed, survivors, started = 0, [], time.monotonic()
    for i, mutant in enumerate(mutants, 1):
        plant(args.tree, mutant)
        try:
            if build(args) != 0:
                outcome = "no build"
            else:
                code = run(["ctest", "--test-dir", args.build, "-j", str(args.jobs), "--stop-on-failure",
                            "--timeout", str(args.timeout)], args.tree, timeout=args.timeout * 4)
                outcome = "killed" if code != 0 else "survived"
        finally:
            restore(args.tree, mutant)
        if outcome == "killed":
            killed += 1
        elif outcome == "survived":
            survivors.append(mutant)
        print("%3d %-8s %s:%d %s" % (i, outcome, mutant["file"], mutant["line"], mutant["kind"]), flush=True)
    build(args)
    print("\nkilled %d of %d (%.0f%%) in %.0f s" % (killed, len(mutants), 100.0 * killed / max(1, len(mutants)),
                                                    time.monotonic() - started))
    for m in survivors:
        print("survivor %s:%d %s\n    %s\n -> %s" % (m["file"], m["line"], m["kind"], m["before"].strip(),
                                                     m["after"].strip()))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("mode", choices=["pick", "run"])
    parser.add_argument("mutants", nargs="?", help="the JSON list (run)")
    parser.add_argument("--tree", default=os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    parser.add_argument("--build", default="build")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--per-folder", type=int, default=7)
    parser.add_argument("--folders", type=lambda s: s.split(","), default=FOLDERS)
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 2)
    parser.add_argument("--timeout", type=int, default=300, help="seconds per test")
    args = parser.parse_args()
    args.build = os.path.abspath(os.path.join(args.tree, args.build))
    if args.mode == "run" and not args.mutants:
        parser.error("run needs the mutants file")
    pick(args) if args.mode == "pick" else run_mutants(args)


if __name__ == "__main__":
    main()
