#!/usr/bin/env python3
"""Long sessions of one engine process, watching its memory, threads, open files and speed.

  soak_session.py search ENGINE [--searches 2000] [--tc 10+0.1] [--option Name=Value ...]
      self-play games as a GUI would drive them: ucinewgame, position startpos with the growing
      move list, go with both clocks; the clocks are kept here and a game ends after 160 plies
      or at a mate or stalemate
  soak_session.py book ENGINE PGN... [--rounds 100]
      rounds of "book add PGN" (each file) + "book delete" and "mat add PGN" + "mat delete"

Every sample line gives the resident memory (VmRSS), the thread count, the open file descriptors
and the time of the last block; the end compares the first and the last samples.
"""
import argparse
import collections
import os
import queue
import subprocess
import sys
import threading
import time


class Engine:
    def __init__(self, command, cwd):
        self.process = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=subprocess.DEVNULL, cwd=cwd, text=True,
                                        encoding="latin-1", bufsize=1)
        self.lines = queue.Queue()
        self.recent = collections.deque(maxlen=20)
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.process.stdout:
            self.lines.put(line.rstrip("\n"))
        self.lines.put(None)

    def send(self, line):
        self.recent.append("> " + line)
        self.process.stdin.write(line + "\n")
        self.process.stdin.flush()

    def wait_for(self, prefix, timeout=60.0):
        deadline = time.monotonic() + timeout
        while True:
            try:
                line = self.lines.get(timeout=max(0.0, deadline - time.monotonic()))
            except queue.Empty:
                line = "no %s within %.0f s" % (prefix, timeout)
                break
            if line is None:
                line = "the engine closed its output while waiting for " + prefix
                break
            self.recent.append("< " + line)
            if line.startswith(prefix):
                return line
        sys.exit(line + "; the last lines:\n" + "\n".join(self.recent))

    def status(self):
        pid = self.process.pid
        fields = {}
        with open("/proc/%d/status" % pid) as f:
            for line in f:
                key, _, value = line.partition(":")
                fields[key] = value.strip()
        return {"rss_kb": int(fields["VmRSS"].split()[0]), "threads": int(fields["Threads"]),
                "fds": len(os.listdir("/proc/%d/fd" % pid))}

    def quit(self):
        self.send("quit")
        try:
            return self.process.wait(timeout=30)
        except subprocess.TimeoutExpired:
            self.process.kill()
            return "hung on quit"


def report(samples, label):
    print("%8s %10s %8s %5s %10s" % (label, "rss_kb", "threads", "fds", "block_s"))
    for s in samples:
        print("%8d %10d %8d %5d %10.2f" % (s["at"], s["rss_kb"], s["threads"], s["fds"], s["seconds"]))
    first, last = samples[min(1, len(samples) - 1)], samples[-1]
    print("rss after the first block %d kB, at the end %d kB (%+d kB); threads %d -> %d; fds %d -> %d"
          % (first["rss_kb"], last["rss_kb"], last["rss_kb"] - first["rss_kb"], first["threads"],
             last["threads"], first["fds"], last["fds"]))


def parse_tc(text):
    base, _, inc = text.partition("+")
    return int(float(base) * 1000), int(float(inc or 0) * 1000)


def soak_search(args):
    engine = Engine([args.engine], args.cwd)
    engine.send("uci")
    engine.wait_for("uciok")
    for option in args.option:
        name, _, value = option.partition("=")
        engine.send("setoption name %s value %s" % (name, value))
    engine.send("isready")
    engine.wait_for("readyok")
    base, increment = parse_tc(args.tc)
    samples, moves, clocks, searches, games = [], [], [base, base], 0, 0
    block_start = time.monotonic()
    engine.send("ucinewgame")
    while searches < args.searches:
        side = len(moves) % 2
        engine.send("position startpos" + (" moves " + " ".join(moves) if moves else ""))
        # A mated or stalemated side gets no "go" (the engine would answer without a move).
        engine.send("perft depth 1")
        if engine.wait_for("info depth 1 ").endswith(" nodes 0"):
            moves, clocks, games = [], [base, base], games + 1
            engine.send("ucinewgame")
            continue
        engine.send("go wtime %d btime %d winc %d binc %d" % (clocks[0], clocks[1], increment, increment))
        started = time.monotonic()
        answer = engine.wait_for("bestmove", timeout=clocks[side] / 1000.0 + 30)
        clocks[side] += increment - int((time.monotonic() - started) * 1000)
        searches += 1
        move = answer.split()[1]
        if len(moves) >= 160 or clocks[side] <= 0:
            moves, clocks, games = [], [base, base], games + 1
            engine.send("ucinewgame")
        else:
            moves.append(move)
        if searches % args.every == 0:
            status = engine.status()
            status.update(at=searches, seconds=time.monotonic() - block_start)
            samples.append(status)
            block_start = time.monotonic()
    engine.send("isready")
    engine.wait_for("readyok")
    time.sleep(0.5)  # the last search thread ends just after its bestmove
    status = engine.status()
    status.update(at=searches, seconds=0.0)
    samples.append(status)
    report(samples, "searches")
    print("games %d; quit: %s" % (games, engine.quit()))


def soak_book(args):
    engine = Engine([args.engine], args.cwd)
    engine.send("uci")
    engine.wait_for("uciok")
    files = [os.path.abspath(pgn) for pgn in args.pgn]
    commands = ["book add " + f for f in files] + ["book delete"] + ["mat add " + f for f in files] + ["mat delete"]
    samples = []
    for round_number in range(1, args.rounds + 1):
        started = time.monotonic()
        for command in commands:
            engine.send(command)
            engine.send("isready")
            engine.wait_for("readyok", timeout=600)
        if round_number % args.every == 0 or round_number == 1:
            status = engine.status()
            status.update(at=round_number, seconds=time.monotonic() - started)
            samples.append(status)
    report(samples, "rounds")
    print("quit: %s" % engine.quit())


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = parser.add_subparsers(dest="mode", required=True)
    search = sub.add_parser("search")
    search.add_argument("engine")
    search.add_argument("--searches", type=int, default=2000)
    search.add_argument("--tc", default="10+0.1")
    search.add_argument("--option", action="append", default=[])
    search.add_argument("--every", type=int, default=100, help="searches per sample")
    book = sub.add_parser("book")
    book.add_argument("engine")
    book.add_argument("pgn", nargs="+")
    book.add_argument("--rounds", type=int, default=100)
    book.add_argument("--every", type=int, default=10, help="rounds per sample")
    for p in (search, book):
        p.add_argument("--cwd", default=None, help="working directory of the engine")
    args = parser.parse_args()
    args.engine = os.path.abspath(args.engine)
    soak_search(args) if args.mode == "search" else soak_book(args)


if __name__ == "__main__":
    main()
