#!/usr/bin/env python3
"""Asks another UCI engine (default: Debian's stockfish) for perft counts of FENs read from stdin
and prints them in the reference format "FEN ;D1 n ;D2 n ...".

Usage: zelmora-random-positions 300 7 | tools/perft_crosscheck.py --depth 4 > positions.epd
"""
import argparse
import subprocess
import sys


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--depth", type=int, default=4)
    parser.add_argument("--engine", default="/usr/games/stockfish")
    args = parser.parse_args()
    engine = subprocess.Popen([args.engine], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, bufsize=1)

    def send(line):
        engine.stdin.write(line + "\n")
        engine.stdin.flush()

    send("uci")
    send("setoption name UCI_Chess960 value true")
    send("isready")
    for line in engine.stdout:
        if line.strip() == "readyok":
            break
    for fen in sys.stdin:
        fen = fen.strip()
        if not fen:
            continue
        counts = []
        for depth in range(1, args.depth + 1):
            send("position fen " + fen)
            send("go perft %d" % depth)
            for line in engine.stdout:
                if line.startswith("Nodes searched:"):
                    counts.append(int(line.split(":")[1]))
                    break
        print(fen + "".join(" ;D%d %d" % (d + 1, n) for d, n in enumerate(counts)))
    send("quit")


if __name__ == "__main__":
    main()
