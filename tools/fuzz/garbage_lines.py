#!/usr/bin/env python3
"""Seeded garbage-line runs against the engine, for UCI or xboard.

The generator mixes real commands (every option, hidden ones included; positions with and
without moves; go with every keyword and odd numbers; perft, eval, book, mat, testpos; for
xboard the whole command set after "protover 2") with mutated copies of them, random bytes,
embedded NULs, carriage returns, high bytes and lines of 40,000 characters and more. The same
seed gives the same lines.

The driver feeds them in bursts to the engine (best a sanitizer build) running in a temporary
directory, so that files written by "book write", "mat write" or a time log never land in the
source tree. Every few hundred lines it checks that the engine still answers: UCI gets "stop",
a unique debug echo and "isready"; xboard gets "force" and a unique "ping". At the end it sends
"quit" and wants exit status 0 and no sanitizer report on standard error.

    tools/fuzz/garbage_lines.py --engine build-asan/zelmora --protocol uci --seed 1 --lines 100000
    tools/fuzz/garbage_lines.py --protocol xboard --seed 7 --lines 1000 --print > lines.txt

On a failure the lines since the last good check are written to a file for replay; --print
writes the whole run's lines.
"""

import argparse
import os
import random
import select
import shutil
import subprocess
import sys
import tempfile
import threading
import time

LINE_PIECE = 39999  # the engine reads lines in pieces of this many bytes, each one a command
C_WHITE = b" \t\n\v\f\r"

BLOCKING_ON = "setoption name blocking value true"
UCI_OPTIONS_SPIN = ["Hash", "MultiPV", "NumberOfProcessors", "NeuroMaterial", "NeuroWidth", "Resign"]
UCI_OPTIONS_CHECK = ["Ponder", "OwnBook", "UCI_Chess960", "NoOutput", "AlwaysClearHash", "blocking"]
UCI_OPTIONS_TEXT = ["BookFile", "MaterialFile", "Zeitprotokolldatei", "Opponent"]

ODD_NUMBERS = ["0", "-1", "1", "2", "3", "7", "10", "100", "1000", "-2147483648", "2147483647", "2147483648",
               "4294967296", "9223372036854775807", "-9223372036854775808", "99999999999999999999999", "1e9",
               "0x10", "abc", "", "+5", "--3", "3.5", "-0", "00000000000000000000001"]
SMALL_TIMES = ["0", "1", "10", "50", "100", "250", "1000", "-100", "-1"]

FENS = [
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "8/P7/8/8/8/8/8/k6K w - - 0 1",
    "8/8/8/8/8/8/p7/K6k b - - 0 1",
    "7k/5Q2/6K1/8/8/8/8/8 b - - 0 1",
    "R6k/6pp/8/8/8/8/8/K7 b - - 0 1",
    "4k3/8/8/8/8/8/8/4K3 w - - 0 1",
    "8/8/8/8/8/4k3/8/4K2R w K - 0 1",
    "rnbqkbnr/pppp1ppp/8/4pP2/8/8/PPPPP1PP/RNBQKBNR w KQkq e6 0 3",
    "QQQQQQQQ/QQQQQQQQ/8/8/8/8/8/k6K w - - 0 1",
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkqAHah - 0 1",
    "bqnb1rkr/pp3ppp/3ppn2/2p5/5P2/P2P4/NPP1P1PP/BQ1BNRKR w HFhf - 2 9",
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq e3 99999999999 -5",
    "8/8/8/8/8/8/8/8 w - - 0 1",
    "k7/8/8/8/8/8/8/K7 x - - 0 1",
    "kkkkkkkk/8/8/8/8/8/8/KKKKKKKK w - - 0 1",
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR",
    "4k3/4P3/4K3/8/8/8/8/8 b - - 0 1",
    "6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1",
    "8/8/8/8/8/2k5/1p6/1K6 w - - 0 1",
    "3k4/8/8/8/8/8/8/3KBN2 w - - 0 1",
]

OPENING_LINES = [
    "e2e4 e7e5 g1f3 b8c6 f1b5 a7a6 b5a4 g8f6 e1g1 f8e7 f1e1 b7b5 a4b3 d7d6 c2c3 e8g8",
    "e2e4 c7c5 g1f3 d7d6 d2d4 c5d4 f3d4 g8f6 b1c3 a7a6 c1e3 e7e5 d4b3 c8e6",
    "d2d4 d7d5 c2c4 e7e6 b1c3 g8f6 c1g5 f8e7 e2e3 e8g8 g1f3 h7h6",
    "e2e4 a7a6 e4e5 d7d5 e5d6 c7d6 d1h5 g7g6 h5d5",
    "f2f3 e7e5 g2g4 d8h4",
    "e2e4 e7e5 d1h5 b8c6 f1c4 g8f6 h5f7",
    "g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1 f6g8 g1f3",
    "e2e4 e7e5 e1e2 e8e7 e2e1 e7e8 e1e2 e8e7",
    "O-O e2e4 O-O-O a7a8q e7e8 0000 e2e4e5 e2 z9z9 a1a1",
]

XBOARD_COMMANDS = ["new", "force", "go", "playother", "?", "draw", "hint", "bk", "undo", "remove", "hard", "easy",
                   "post", "nopost", "analyze", "exit", ".", "random", "computer", "accepted setboard",
                   "rejected ping", "xboard", "result 1-0 {White mates}", "result *", "result 1/2-1/2 {draw}"]


def c_string(piece):
    """What the engine sees of a line piece: C strings end at the first NUL."""
    return piece.split(b"\0", 1)[0]


def first_word(piece):
    text = c_string(piece)
    for ch in C_WHITE:
        text = text.replace(bytes([ch]), b" ")
    words = text.split(b" ")
    words = [w for w in words if w]
    return words[0] if words else b""


def pieces(line):
    return [line[i:i + LINE_PIECE] for i in range(0, max(len(line), 1), LINE_PIECE)]


def numbers_after(text, keyword):
    found = []
    start = text.find(keyword)
    while start >= 0:
        rest = text[start + len(keyword):].lstrip(C_WHITE)
        digits = b""
        if rest[:1] in (b"-", b"+"):
            digits, rest = rest[:1], rest[1:]
        while rest[:1].isdigit():
            digits, rest = digits + rest[:1], rest[1:]
        try:
            found.append(int(digits))
        except ValueError:
            pass
        start = text.find(keyword, start + 1)
    return found


def harmless(line, protocol):
    """Whether no piece of the line ends the run early, blocks the command thread for long or
    writes outside the temporary directory."""
    for piece in pieces(line):
        text = c_string(piece)
        word = first_word(piece)
        if word == b"quit":
            return False
        if protocol == "xboard":
            if word == b"protover":
                return False
            continue
        if word == b"perft":
            if any(n > 4 or n < 0 for n in numbers_after(text, b"depth")):
                return False
            if any(n > 64 for n in numbers_after(text, b"Hash")):
                return False
        if word == b"mat":
            if b"learn" in text or any(abs(n) > 5 for n in numbers_after(text, b"rnd")):
                return False
        if word in (b"mat", b"book", b"setoption", b"testpos") and (b"/" in text or b"\\" in text):
            return False
        if word == b"setoption" and b"blocking" in text and b"true" in text:
            return False
        # A big table is cleared word by word before every search with AlwaysClearHash: seconds
        # per "go" under the sanitizers, which would pass for a hang.
        if word == b"setoption" and b"Hash" in text and any(n > 64 for n in numbers_after(text, b"value")):
            return False
        # testpos drops the whole process to idle priority, which on a busy machine passes for a
        # hang: the driver sends it once, at the end.
        if word == b"testpos":
            return False
        # More search threads than the machine has cores starve the command thread the same way.
        if word == b"setoption" and b"NumberOfProcessors" in text and any(
                n > 2 for n in numbers_after(text, b"value")):
            return False
    return True


class Generator:
    def __init__(self, seed, protocol):
        self.random = random.Random(seed)
        self.protocol = protocol
        self.pending = []

    def pick(self, items):
        return self.random.choice(items)

    def number(self):
        return self.pick(ODD_NUMBERS) if self.random.random() < 0.6 else str(self.random.randint(-5, 5000))

    def moves(self, count=None):
        words = self.pick(OPENING_LINES).split()
        if count is None:
            count = self.random.randint(0, len(words))
        return " ".join(words[:count])

    def random_move(self):
        files, ranks = "abcdefgh", "12345678"
        move = self.pick(files) + self.pick(ranks) + self.pick(files) + self.pick(ranks)
        return move + (self.pick("qrbnk") if self.random.random() < 0.1 else "")

    # --- UCI ---------------------------------------------------------------------------------

    def uci_setoption(self):
        kind = self.random.random()
        if kind < 0.35:
            name = self.pick(UCI_OPTIONS_SPIN)
            value = self.number()
            if name == "Hash" and self.random.random() < 0.9:
                value = self.pick(["1", "3", "8", "16", "64", "0", "-5"])
        elif kind < 0.6:
            name = self.pick(UCI_OPTIONS_CHECK)
            value = self.pick(["true", "false", "yes", "", "TRUE", "false false"])
        elif kind < 0.85:
            name = self.pick(UCI_OPTIONS_TEXT)
            value = self.pick(["Zelmora.opn", "absent.opn", "nul:", "(internal)", "made.opn", "time.log",
                               "out.txt", "", "Quomb", "a b c", "games.pgn", "ctl-missing.txt"])
        else:
            return self.pick(["setoption name Clear Hash", "setoption name Clear Hash value true",
                              "setoption", "setoption name", "setoption name  value 3", "setoption value 5",
                              "setoption name Hash  value 8", "setoption name Unknown value 1",
                              "setoption name Opponent value Quomb", "setoption name Hash"])
        if self.random.random() < 0.05:
            return "setoption name %s" % name
        return "setoption name %s value %s" % (name, value)

    def uci_position(self):
        kind = self.random.random()
        if kind < 0.4:
            base = "position startpos"
        elif kind < 0.6:
            base = "position Chess960 %s" % self.pick(["0", "518", "959", "960", "12345", "-1", "x", ""])
        elif kind < 0.95:
            base = "position fen " + self.pick(FENS)
        else:
            base = self.pick(["position", "position moves e2e4", "position fen", "position startpos fen 8/8"])
        if self.random.random() < 0.7:
            moves = self.moves()
            if self.random.random() < 0.2:
                moves += " " + " ".join(self.random_move() for _ in range(self.random.randint(1, 6)))
            base += " moves " + moves
        return base

    def uci_go(self):
        words = ["go"]
        keywords = ["wtime", "btime", "winc", "binc", "movestogo", "depth", "nodes", "mate", "movetime"]
        for _ in range(self.random.randint(0, 4)):
            keyword = self.pick(keywords)
            if keyword in ("wtime", "btime", "movetime") and self.random.random() < 0.7:
                value = self.pick(SMALL_TIMES)
            elif keyword == "depth" and self.random.random() < 0.7:
                value = str(self.random.randint(-1, 6))
            else:
                value = self.number()
            words += [keyword, value]
        if self.random.random() < 0.15:
            words.append("infinite")
        if self.random.random() < 0.1:
            words.append("ponder")
        if self.random.random() < 0.1:
            words.append(self.pick(["searchmoves", "excludemoves"]))
            words.append(" ".join(self.random_move() for _ in range(self.random.randint(0, 4))))
            words.append(self.pick(["e2e4 d2d4", "g1f3", "e7e5", ""]))
        return " ".join(words)

    def uci_tool_command(self):
        kind = self.random.randint(0, 8)
        if kind == 0:
            depth = self.random.choice([0, 1, 1, 2, 2, 3, 3, -1, 4])
            extra = self.pick(["", " divide", " Hash 1", " Hash 0", " Hash -3 divide", " Hash 16"])
            return "perft depth %d%s" % (depth, extra)
        if kind == 1:
            return self.pick(["perft", "perft depth", "perft depth x", "perft Hash 4", "eval", "eval now"])
        if kind in (2, 3):
            return "book " + self.pick([
                "add games.pgn", "add games.pgn value %s ELO %s" % (self.number(), self.number()),
                "add games.pgn all", "add absent.pgn", "add", "delete",
                "write made.opn threshold %s width %s" % (self.number(), self.number()),
                "write made.opn", "write960 made960.opn", "writeEPD made.epd", "write", "bogus"])
        if kind in (4, 5):
            return "mat " + self.pick([
                "rnd %d" % self.random.randint(0, 3), "rnd -2", "rnd x", "add games.pgn value 1 ELO 0",
                "add absent.pgn value 1 ELO 0", "add games.pgn", "writemem mem.bin", "readmem mem.bin",
                "readmem absent.bin", "write train.txt", "write", "delete", "learn absent-training.txt", "bogus"])
        return self.pick(["eval", "debug on", "debug off", "debug", "ucinewgame", "ponderhit", "stop", "isready"])

    def uci_valid(self):
        kind = self.random.random()
        if kind < 0.18:
            return self.uci_setoption()
        if kind < 0.40:
            return self.uci_position()
        if kind < 0.62:
            return self.uci_go()
        if kind < 0.70:
            return self.uci_tool_command()
        if kind < 0.72:
            # The blocking mode searches in the command thread: only with a search that ends by itself.
            self.pending += [BLOCKING_ON, self.pick(["go depth 2", "go movetime 100", "go nodes 3000"]),
                             "setoption name blocking value false"]
            return "isready"
        return self.pick(["uci", "isready", "ucinewgame", "stop", "ponderhit", "debug on", "debug off", "eval",
                          "stop", "isready", "go infinite", "go ponder", "go"])

    # --- xboard ------------------------------------------------------------------------------

    def xboard_valid(self):
        kind = self.random.random()
        if kind < 0.25:
            move = self.random_move() if self.random.random() < 0.4 else self.pick(self.moves(16).split() or ["e2e4"])
            return self.pick(["usermove ", "usermove ", ""]) + move
        if kind < 0.32:
            moves = self.moves().split()
            self.pending += ["usermove " + m for m in moves] + [self.pick(["go", "force", "analyze", "playother"])]
            return self.pick(["new", "force"])
        if kind < 0.42:
            return self.pick([
                "level %s %s %s" % (self.pick(["40", "0", "1", "-1", self.number()]),
                                    self.pick(["5", "0:30", "1:00", "0", "0.5", "2:", ":5", self.number()]),
                                    self.pick(["0", "2", "0.5", "-1", self.number()])),
                "level 40 5 0", "level 0 1 1", "level", "level 1 2", "level 40 1 0 20 1 0 10 1 0"])
        if kind < 0.50:
            return self.pick(["st %s" % self.pick(["1", "0.2", "0", "-1", "abc", self.number()]),
                              "sd %s" % self.pick(["1", "2", "3", "0", "-4", self.number()])])
        if kind < 0.58:
            return "%s %s" % (self.pick(["time", "otim"]), self.pick(SMALL_TIMES + [self.number()]))
        if kind < 0.66:
            return "setboard " + self.pick(FENS)
        if kind < 0.70:
            return "variant " + self.pick(["fischerandom", "normal", "crazyhouse", ""])
        if kind < 0.74:
            return self.pick(["ping %s" % self.number(), "ping", "name %s" % self.pick(["Quomb", "x y", ""]),
                              "rating %s %s" % (self.number(), self.number())])
        return self.pick(XBOARD_COMMANDS)

    # --- garbage -----------------------------------------------------------------------------

    def mutate(self, line):
        data = bytearray(line.encode("latin-1"))
        for _ in range(self.random.randint(1, 3)):
            kind = self.random.randint(0, 7)
            at = self.random.randint(0, len(data))
            if kind == 0 and data:
                del data[min(at, len(data) - 1)]
            elif kind == 1:
                data[at:at] = bytes([self.pick([0, 13, 9, 11, 12, 0xE4, 0xFC, 0xFF, 0x80, 0x7F, 34, 92, 37])])
            elif kind == 2:
                data[at:at] = b" " + self.number().encode() + b" "
            elif kind == 3:
                data = data[:at]
            elif kind == 4:
                words = bytes(data).split(b" ")
                self.random.shuffle(words)
                data = bytearray(b" ".join(words))
            elif kind == 5:
                words = bytes(data).split(b" ")
                i = self.random.randrange(len(words))
                words.insert(i, words[i])
                data = bytearray(b" ".join(words))
            elif kind == 6:
                data += b"\r"
            else:
                data[at:at] = bytes(self.random.randrange(1, 256) for _ in range(self.random.randint(1, 8)))
        return bytes(data).replace(b"\n", b" ")

    def random_bytes(self):
        n = self.random.randint(0, 120)
        return bytes(self.random.randrange(0, 256) for _ in range(n)).replace(b"\n", b"")

    def long_line(self):
        kind = self.random.randint(0, 4)
        if kind == 0:
            return ("position startpos moves " + "g1f3 g8f6 f3g1 f6g8 " * self.random.randint(2000, 5000)).encode()
        if kind == 1:
            return ("setoption name BookFile value " + "A" * self.random.randint(40000, 90000)).encode()
        if kind == 2:
            return b"go searchmoves " + b"e2e4 " * self.random.randint(8000, 20000)
        if kind == 3:
            return bytes(self.random.randrange(1, 256) for _ in range(self.random.randint(40000, 60000))).replace(
                b"\n", b"\r")
        return ("usermove " + "x" * self.random.randint(40000, 80000)).encode()

    def line(self):
        while True:
            if self.pending:
                candidate = self.pending.pop(0).encode("latin-1")
                if harmless(candidate, self.protocol) or candidate == BLOCKING_ON.encode():
                    return candidate
                continue
            kind = self.random.random()
            valid = self.uci_valid if self.protocol == "uci" else self.xboard_valid
            if kind < 0.55:
                candidate = valid().encode("latin-1")
            elif kind < 0.90:
                candidate = self.mutate(valid())
            elif kind < 0.9985:
                candidate = self.random_bytes()
            else:
                candidate = self.long_line()
            if harmless(candidate, self.protocol):
                return candidate


def prepare_directory(directory, source_root, seed):
    """The files the commands name: a small PGN, testpos control files."""
    pgn = os.path.join(source_root, "tests", "data", "pgn", "engine_games_sample.pgn")
    if os.path.exists(pgn):
        shutil.copy(pgn, os.path.join(directory, "games.pgn"))
    with open(os.path.join(directory, "ctl-missing.txt"), "w") as f:
        f.write("pos-a.epd\npos-b.epd\n0\nabsent.pgn\n")
    garbage = random.Random(seed)
    with open(os.path.join(directory, "ctl-garbage.txt"), "wb") as f:
        f.write(bytes(garbage.choice(b"abcxyz019 \n\r\t-") for _ in range(400)))


class Engine:
    def __init__(self, command, directory, log_path):
        self.log = open(log_path, "wb")
        self.process = subprocess.Popen(command, cwd=directory, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=self.log, bufsize=0)
        self.lines_out = 0
        self.marks = {}  # awaited text -> number of the output line
        self.awaited = set()
        self.latest = {b"bestmove": 0, b"move ": 0}  # prefix -> number of its last output line
        self.condition = threading.Condition()
        self.last_output = []
        self.reader = threading.Thread(target=self.read, daemon=True)
        self.reader.start()

    def read(self):
        for raw in self.process.stdout:
            line = raw.rstrip(b"\r\n")
            with self.condition:
                self.lines_out += 1
                self.last_output.append(line)
                del self.last_output[:-20]
                if line in self.awaited:
                    self.marks[line] = self.lines_out
                    self.condition.notify_all()
                for prefix in self.latest:
                    if line.startswith(prefix):
                        self.latest[prefix] = self.lines_out
                        self.condition.notify_all()

    def send(self, data, timeout):
        """Writes all bytes; False when the engine takes none of them for timeout seconds."""
        fd = self.process.stdin.fileno()
        view = memoryview(data)
        while view:
            _, writable, _ = select.select([], [fd], [], timeout)
            if not writable:
                return False
            try:
                written = os.write(fd, view[:65536])
            except (BrokenPipeError, OSError):
                return False
            view = view[written:]
        return True

    def wait_for(self, ready, timeout):
        deadline = time.monotonic() + timeout
        with self.condition:
            while not ready():
                left = deadline - time.monotonic()
                if left <= 0 or (self.process.poll() is not None and not self.reader.is_alive()):
                    return False
                self.condition.wait(min(left, 0.5))
            return True

    def await_line(self, text, timeout):
        """The number of the output line that is exactly text, or None."""
        if not self.wait_for(lambda: text in self.marks, timeout):
            return None
        with self.condition:
            self.awaited.discard(text)
            return self.marks.pop(text)

    def await_prefix(self, prefix, after, timeout):
        return self.wait_for(lambda: self.latest[prefix] > after, timeout)


def save_stacks(pid, directory):
    """The threads of a hanging engine, when a debugger is at hand."""
    if shutil.which("gdb") is None:
        return
    with open(os.path.join(directory, "hang-stacks.txt"), "wb") as f:
        subprocess.run(["gdb", "-p", str(pid), "-batch", "-ex", "thread apply all bt"], stdout=f,
                       stderr=subprocess.DEVNULL, timeout=120)


def run(arguments):
    source_root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    engine_path = os.path.abspath(arguments.engine)
    generator = Generator(arguments.seed, arguments.protocol)
    pacing = random.Random(arguments.seed ^ 0x5EED)
    directory = tempfile.mkdtemp(prefix="zelmora-garbage-")
    prepare_directory(directory, source_root, arguments.seed)
    log_path = os.path.join(directory, "stderr.log")
    command = [engine_path] + (["VersteckteOptionen"] if arguments.protocol == "uci" else [])
    engine = Engine(command, directory, log_path)
    start = time.monotonic()
    window = []  # lines since the last good check
    window_start = 0
    checks = 0
    worst = 0.0
    failure = None

    def check(index):
        """Whether the engine still answers; every fourth check also wants a whole short search."""
        nonlocal checks, worst
        checks += 1
        search = checks % 4 == 0
        if arguments.protocol == "uci":
            marker = b"zzcheck-%d-%d" % (arguments.seed, checks)
            awaited = b"info string 'setoption': unbekannte Option setoption name " + marker
            probe = b"stop\nsetoption name NoOutput value false\ndebug on\nsetoption name " + marker + b"\n"
            if search:
                probe += b"position startpos moves e2e4 e7e5 g1f3\ngo depth 2\n"
            result = b"bestmove"
        else:
            awaited = b"pong %d" % (1000000 + checks)
            probe = b"force\n" + (b"exit\nnew\nsd 2\ngo\n" if search else b"") + b"ping %d\n" % (1000000 + checks)
            result = b"move "
        with engine.condition:
            engine.awaited.add(awaited)
        sent = time.monotonic()
        if not engine.send(probe, arguments.timeout):
            return "the engine took no check lines after line %d within %.0f s" % (index, arguments.timeout)
        seen = engine.await_line(awaited, arguments.timeout)
        if seen is None:
            save_stacks(engine.process.pid, directory)
            return "no answer to the check after line %d within %.0f s" % (index, arguments.timeout)
        if search and not engine.await_prefix(result, seen, arguments.timeout):
            save_stacks(engine.process.pid, directory)
            return "no %s of a depth 2 search after line %d within %.0f s" % (
                result.decode().strip(), index, arguments.timeout)
        if search and arguments.protocol == "xboard":
            engine.send(b"force\n", arguments.timeout)
        worst = max(worst, time.monotonic() - sent)
        return None

    first = [b"uci"] if arguments.protocol == "uci" else [b"xboard", b"protover 2"]
    engine.send(b"\n".join(first) + b"\n", arguments.timeout)
    next_check = pacing.randint(50, 2 * arguments.check_every)
    index = 0
    while index < arguments.lines and failure is None:
        burst = []
        for _ in range(pacing.randint(1, 40)):
            if index >= arguments.lines:
                break
            line = generator.line()
            burst.append(line)
            window.append(line)
            index += 1
        if not engine.send(b"\n".join(burst) + b"\n", arguments.timeout):
            failure = "the engine took no input for %.0f s around line %d" % (arguments.timeout, index)
            break
        if engine.process.poll() is not None:
            failure = "the engine ended by itself (status %d) around line %d" % (engine.process.returncode, index)
            break
        if index >= next_check:
            failure = check(index)
            if failure is None:
                window, window_start = [], index
            next_check = index + pacing.randint(arguments.check_every // 2, arguments.check_every * 3 // 2)
        if pacing.random() < 0.3:
            time.sleep(pacing.random() * 0.01)
        if arguments.progress and index % 10000 < len(burst):
            print("... %d lines, %.0f s" % (index, time.monotonic() - start), file=sys.stderr, flush=True)

    if failure is None and arguments.protocol == "uci":
        engine.send(b"testpos ctl-missing.txt\ntestpos ctl-garbage.txt\ntestpos\n", arguments.timeout)
    if failure is None:
        failure = check(index)
    status = None
    if failure is None:
        engine.send(b"quit\n", arguments.timeout)
        try:
            status = engine.process.wait(timeout=60)
        except subprocess.TimeoutExpired:
            failure = "no exit within 60 s of quit"
    if failure is None and status != 0:
        failure = "exit status %d after quit" % status
    if engine.process.poll() is None:
        engine.process.kill()
        engine.process.wait()
    engine.reader.join(timeout=5)
    engine.log.close()
    with open(log_path, "rb") as f:
        errors = f.read()
    for marker in (b"ERROR: AddressSanitizer", b"ERROR: LeakSanitizer", b"runtime error:", b"AddressSanitizer:"):
        if marker in errors and failure is None:
            failure = "sanitizer report on standard error"
    elapsed = time.monotonic() - start
    print("protocol %s seed %d: %d lines in %.0f s, %d checks, slowest answer %.2f s, %d output lines" %
          (arguments.protocol, arguments.seed, index, elapsed, checks, worst, engine.lines_out))
    if failure is None:
        print("PASS")
        shutil.rmtree(directory, ignore_errors=True)
        return 0
    print("FAIL: " + failure)
    replay = os.path.join(directory, "failure-%s-%d.txt" % (arguments.protocol, arguments.seed))
    with open(replay, "wb") as f:
        f.write(b"\n".join(first + window) + b"\n")
    print("lines %d..%d (after the start lines) written to %s" % (window_start + 1, index, replay))
    print("engine directory kept: %s (stderr.log)" % directory)
    tail = errors.decode("latin-1").splitlines()
    for line in [l for l in tail if "ERROR" in l or "runtime error" in l or "#" in l][:30]:
        print("  " + line)
    print("last output: " + repr(engine.last_output[-5:]))
    return 1


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--engine", default="build-asan/zelmora")
    parser.add_argument("--protocol", choices=["uci", "xboard"], default="uci")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--lines", type=int, default=100000)
    parser.add_argument("--check-every", type=int, default=300, help="lines between answer checks, on average")
    parser.add_argument("--timeout", type=float, default=30.0,
                        help="seconds an answer may take (sanitizer builds on a busy machine are slow)")
    parser.add_argument("--print", action="store_true", help="only print the lines, do not run the engine")
    parser.add_argument("--progress", action="store_true")
    arguments = parser.parse_args()
    if arguments.print:
        generator = Generator(arguments.seed, arguments.protocol)
        out = sys.stdout.buffer
        out.write(b"uci\n" if arguments.protocol == "uci" else b"xboard\nprotover 2\n")
        for _ in range(arguments.lines):
            out.write(generator.line() + b"\n")
        return 0
    return run(arguments)


if __name__ == "__main__":
    sys.exit(main())
