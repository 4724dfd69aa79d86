#!/usr/bin/env python3
"""Nodes per second of several UCI engines on the positions of zelmora-bench, one after another
on an otherwise idle machine: each engine searches each position for a fixed time with a fresh
game, and the nodes and time of its last info line are summed.

Usage: tools/compare_nps.py [--movetime MS] [--hash MB] ENGINE...
"""
import argparse
import re
import subprocess
import sys


def bench_positions():
    """The FEN list of tools/bench.cpp."""
    source = open(__file__.replace("compare_nps.py", "bench.cpp")).read()
    block = source[source.index("POSITIONS[] = {"):source.index("};", source.index("POSITIONS[] = {"))]
    return re.findall(r'"([^"]+)"', block)


def measure(engine, fens, movetime, hash_mb):
    proc = subprocess.Popen([engine], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, bufsize=1)

    def send(line):
        proc.stdin.write(line + "\n")
        proc.stdin.flush()

    def wait_for(prefix):
        last = None
        for line in proc.stdout:
            if "nodes" in line and "time" in line:
                last = line
            if line.startswith(prefix):
                return last
        raise RuntimeError(engine + " ended early")

    send("uci")
    wait_for("uciok")
    send("setoption name Hash value %d" % hash_mb)
    send("setoption name OwnBook value false")  # a book move reports no search
    total_nodes = total_ms = 0
    for fen in fens:
        send("ucinewgame")
        send("position fen " + fen)
        send("isready")
        wait_for("readyok")
        send("go movetime %d" % movetime)
        info = wait_for("bestmove")
        if info is None:  # answered without searching (a book move or a single legal move)
            continue
        nodes = int(re.search(r"\bnodes (\d+)", info).group(1))
        ms = int(re.search(r"\btime (\d+)", info).group(1))
        total_nodes += nodes
        total_ms += max(ms, 1)
    send("quit")
    proc.wait()
    return total_nodes, total_ms


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--movetime", type=int, default=1000)
    parser.add_argument("--hash", type=int, default=16)
    parser.add_argument("engines", nargs="+")
    args = parser.parse_args()
    fens = bench_positions()
    for engine in args.engines:
        nodes, ms = measure(engine, fens, args.movetime, args.hash)
        print("%-28s %12d nodes %8.1f s %10.0f nps" % (engine, nodes, ms / 1000.0, nodes * 1000.0 / ms))
        sys.stdout.flush()


if __name__ == "__main__":
    main()
