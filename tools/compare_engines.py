#!/usr/bin/env python3
"""Do two builds search alike? Runs both over the bench positions and compares, per position, the
best move, the final score and the node count of a fixed-depth search, and the "eval" output.

  compare_engines.py OLD_BINARY NEW_BINARY [--depth 10] [--threads 1]

Each search starts from a cleared table, as zelmora-bench's do, with the book off. Exits 1 when
any position differs. The positions are read from tools/bench.cpp, the one place they live.
"""
import argparse
import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))


def bench_positions():
    with open(os.path.join(HERE, "bench.cpp")) as f:
        source = f.read()
    block = source[source.index("POSITIONS[] = {"):]
    block = block[:block.index("};")]
    return re.findall(r'"([^"]+)"', block)


def run(binary, positions, depth, threads):
    # blocking: each go ends before the next line is read, so the lines of one search stay together.
    commands = ["uci", "setoption name blocking value true", "setoption name OwnBook value false",
                "setoption name NumberOfProcessors value %d" % threads]
    for fen in positions:
        commands += ["ucinewgame", "setoption name Clear Hash", "position fen " + fen, "eval",
                     "go depth %d" % depth, "isready"]
    commands.append("quit")
    text = subprocess.run([binary], input="\n".join(commands) + "\n", capture_output=True, text=True,
                          encoding="latin-1", timeout=3600).stdout
    results, current = [], None
    for line in text.splitlines():
        if line.startswith("info string") or line.startswith("id ") or line.startswith("option "):
            continue
        if current is None:
            current = {"eval": [], "last": ""}
        if line.startswith("info") and " score " in line and " nodes " in line:
            current["last"] = line
        elif line.startswith("bestmove"):
            current["bestmove"] = line
        elif line == "readyok":
            results.append(current)
            current = None
        elif not line.startswith("info") and line not in ("uciok",):
            current["eval"].append(line)
    return results


def summary(result):
    last = result.get("last", "")
    score = re.search(r" score (cp|mate) (-?\d+)", last)
    nodes = re.search(r" nodes (\d+)", last)
    return (result.get("bestmove", "(none)"), score.group(1) + " " + score.group(2) if score else "-",
            nodes.group(1) if nodes else "-")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("old")
    parser.add_argument("new")
    parser.add_argument("--depth", type=int, default=10)
    parser.add_argument("--threads", type=int, default=1)
    args = parser.parse_args()
    positions = bench_positions()
    old = run(args.old, positions, args.depth, args.threads)
    new = run(args.new, positions, args.depth, args.threads)
    if len(old) != len(positions) or len(new) != len(positions):
        sys.exit("expected %d searches, got %d and %d" % (len(positions), len(old), len(new)))
    differences = 0
    for i, (fen, a, b) in enumerate(zip(positions, old, new), 1):
        same = summary(a) == summary(b) and a["eval"] == b["eval"]
        differences += not same
        print("%2d %s %-40s %s" % (i, "same" if same else "DIFF", " ".join(summary(a)),
                                  "" if same else "-> " + " ".join(summary(b)) + ("" if a["eval"] == b["eval"]
                                                                                   else " (eval differs)")))
    print("%d of %d positions differ" % (differences, len(positions)))
    sys.exit(1 if differences else 0)


if __name__ == "__main__":
    main()
