#!/usr/bin/env bash
# Smoke test of a Windows build under Wine, side by side with the Linux build of the same source:
# protocol texts byte for byte (German ones and long lines included), perft to depth 4 over the
# reference files, the search's node counts, a timed search, the book and the start-up file found
# next to the .exe from another directory, and games against the Linux build.
#
#   wine_smoke.sh 64|32 WINDOWS_BUILD_DIR LINUX_BUILD_DIR PERFT_FILE...
#
# The build directories hold zelmora(.exe), Zelmora.opn and tools/zelmora-bench(.exe); the Linux one
# also tools/zelmora-match. Exits 77 (skipped) when Wine cannot run this kind of .exe here.
set -uo pipefail

bits=$1
win_build=$(realpath "$2") linux_build=$(realpath "$3")
shift 3
perft_files=()
for file in "$@"; do perft_files+=("$(realpath "$file")"); done

export WINEDEBUG=-all
if ! command -v wine >/dev/null; then
    echo "skipped: Wine is not installed (apt-get install wine)"
    exit 77
fi
# Debian's wine runs 32-bit programs only with the i386 package.
if [ "$bits" = 32 ] && ! [ -x /usr/lib/wine/wine ]; then
    echo "skipped: wine32 is not installed (dpkg --add-architecture i386; apt-get install wine32:i386)"
    exit 77
fi
# A prefix of its own, made by the 32-bit Wine: one made before wine32 was installed may lack its half.
[ "$bits" = 32 ] && export WINEPREFIX=${WINEPREFIX:-$HOME/.wine-zelmora32} WINEARCH=win32

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

work=$(mktemp -d)
[ -n "${ZELMORA_SMOKE_KEEP:-}" ] || trap 'rm -rf "$work"' EXIT  # keep it to look into a failure
# The programs live in directories with blanks in their names; every run starts in an empty one.
win_app="$work/windows app" linux_app="$work/linux app" bare="$work/bare" empty="$work/empty"
mkdir -p "$win_app" "$linux_app" "$bare" "$empty"
cp "$win_build/zelmora.exe" "$win_build/Zelmora.opn" "$win_app/"
cp "$linux_build/zelmora" "$linux_build/Zelmora.opn" "$linux_app/"
cp "$win_build/zelmora.exe" "$bare/"
for app in "$win_app" "$linux_app"; do
    printf 'setoption name Hash value x\r\nsetoption name MultiPV value 2\r\n# not an option\r\n' >"$app/Zelmora.ini"
done
cd "$empty" || exit 1
# Nothing may hang the test: every run has a time limit.
windows=(timeout 300 wine "$win_app/zelmora.exe")
linux=(timeout 300 "$linux_app/zelmora")

# The first start of Wine sets up its prefix (~/.wine), which can take a minute.
if ! timeout 300 wine "$bare/zelmora.exe" </dev/null >/dev/null 2>&1; then
    fail "zelmora.exe does not start under Wine"
    exit 1
fi

# run_both NAME: feeds $work/NAME.in to both builds (with Windows line ends to the .exe) and leaves
# NAME.win (line ends removed) and NAME.linux; fails when a Windows line does not end in CR LF.
run_both() {
    local name=$1 in="$work/$1.in"
    sed 's/$/\r/' "$in" | "${windows[@]}" >"$work/$name.raw" 2>/dev/null
    "${linux[@]}" <"$in" >"$work/$name.linux" 2>/dev/null
    local lines crlf
    lines=$(wc -l <"$work/$name.raw")
    crlf=$(LC_ALL=C grep -c $'\r$' "$work/$name.raw")
    [ "$lines" -gt 0 ] && [ "$lines" = "$crlf" ] || fail "$name: $crlf of $lines lines end in CR LF"
    tr -d '\r' <"$work/$name.raw" >"$work/$name.win"
}

# Compares the two transcripts, without the times (and, for NAME sorted, in any order).
compare() {
    local name=$1 how=${2:-} filter='s/ (time|nps) [0-9]+//g'
    if [ "$how" = sorted ]; then
        LC_ALL=C sed -E "$filter" "$work/$name.win" | LC_ALL=C sort >"$work/$name.a"
        LC_ALL=C sed -E "$filter" "$work/$name.linux" | LC_ALL=C sort >"$work/$name.b"
    else
        LC_ALL=C sed -E "$filter" "$work/$name.win" >"$work/$name.a"
        LC_ALL=C sed -E "$filter" "$work/$name.linux" >"$work/$name.b"
    fi
    if cmp -s "$work/$name.a" "$work/$name.b"; then
        pass "$name: $(wc -l <"$work/$name.b") lines as on Linux"
    else
        fail "$name differs from Linux:"
        diff "$work/$name.a" "$work/$name.b" | head -20 | cut -c1-200
    fi
}

# A line of 39,999 characters, the longest read as one command, full of Windows-1252 letters.
long_text() {
    local prefix=$1 filler
    filler=$(printf 'Gr\xfc\xdfe \xe4\xf6\xfc\xc4\xd6\xdc%.0s' $(seq 4000))
    LC_ALL=C printf '%s%s' "$prefix" "${filler:0:$((39999 - ${#prefix}))}"
}

export LC_ALL=C

# UCI: identification, options, the German messages, a long line, eval, divide, a search.
{
    echo uci
    echo "debug on"
    echo "setoption name Hash value x"
    echo "setoption name blocking value true"
    echo "setoption name OwnBook value false"
    echo isready
    long_text "position fen "
    echo
    echo "position startpos moves e2e4 e7e5 g1f3 b8c6 f1b5 a7a6 z9z9"
    echo "position fen r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3"
    echo eval
    echo "perft depth 3 divide"
    echo "go depth 7"
    echo quit
} >"$work/uci.in"
run_both uci
compare uci

# xboard: the handshake with the start-up file beside the program, errors, a long unknown command.
{
    echo xboard
    echo "protover 2"
    echo "ping 1"
    long_text "unbekannt "
    echo
    echo force
    echo "usermove e2e4"
    echo "usermove e7e9"
    echo "setboard 8/8/8/8/8/8/8/8 w - - 0 1"
    echo "ping 2"
    echo quit
} >"$work/xboard.in"
run_both xboard
# The start-up file's settings are run by another thread: their lines may come in any order.
compare xboard sorted
grep -q "^feature done=1" "$work/xboard.win" && grep -q $'Unzul\xe4ssiger Wert f\xfcr' "$work/xboard.win" ||
    fail "xboard: the start-up file next to the .exe was not read"

# The book next to the program is found from another directory; without one the engine says so.
book_session=$'uci\ndebug on\nucinewgame\nisready\nquit\n'
if sed 's/$/\r/' <<<"$book_session" | "${windows[@]}" 2>/dev/null | grep -q "Opening book read error"; then
    fail "book: Zelmora.opn next to the .exe not found"
elif ! sed 's/$/\r/' <<<"$book_session" | timeout 300 wine "$bare/zelmora.exe" 2>/dev/null | grep -q "Opening book read error"; then
    fail "book: a missing book is not reported"
else
    pass "book: found next to the .exe, missing one reported"
fi

# Perft to depth 4 against the counts in the files.
for file in "${perft_files[@]}"; do
    name=perft-$(basename "$file" .epd)
    chess960=false
    [[ $file == *960* ]] && chess960=true
    {
        echo uci
        echo "setoption name UCI_Chess960 value $chess960"
        grep ';D4 ' "$file" | sed -E 's/ *;.*//; s/^/position fen /; s/$/\nperft depth 4/'
        echo quit
    } | sed 's/$/\r/' | "${windows[@]}" 2>/dev/null | tr -d '\r' |
        sed -nE 's/^info depth 4 .*nodes ([0-9]+)$/\1/p' >"$work/$name.got"
    sed -nE 's/.*;D4 ([0-9]+).*/\1/p' "$file" >"$work/$name.want"
    if [ -s "$work/$name.want" ] && cmp -s "$work/$name.got" "$work/$name.want"; then
        pass "$name: $(wc -l <"$work/$name.want") positions"
    else
        fail "$name: $(paste "$work/$name.got" "$work/$name.want" | awk '$1 != $2' | wc -l) counts differ" \
            "($(wc -l <"$work/$name.got") of $(wc -l <"$work/$name.want") answered)"
    fi
done

# The search signature at a smaller depth: the same nodes as on Linux.
win_nodes=$(cd "$win_build/tools" && timeout 300 wine ./zelmora-bench.exe 7 2>/dev/null | tr -d '\r' | grep '^nodes')
linux_nodes=$(timeout 300 "$linux_build/tools/zelmora-bench" 7 | grep '^nodes')
[ -n "$linux_nodes" ] && [ "$win_nodes" = "$linux_nodes" ] && pass "bench 7: $win_nodes" ||
    fail "bench 7: '$win_nodes' on Windows, '$linux_nodes' on Linux"

# A search of 1000 ms answers within its time (timed from the "go" line to the "bestmove" line).
movetime=1000 slack=400
coproc ENGINE { "${windows[@]}" 2>/dev/null; }
engine_pid=$ENGINE_PID
send() { printf '%s\r\n' "$1" >&"${ENGINE[1]}"; }
await() {  # await PREFIX SECONDS: reads lines until one starts with PREFIX
    local line
    while IFS= read -r -t "$2" line <&"${ENGINE[0]}"; do
        [[ $line == "$1"* ]] && return 0
    done
    return 1
}
send uci
await uciok 60
send "setoption name OwnBook value false"
send isready
await readyok 30
send "position fen r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3"
start=${EPOCHREALTIME/./}
send "go movetime $movetime"
if await bestmove $((movetime / 1000 + 10)); then
    took=$(((${EPOCHREALTIME/./} - start) / 1000))
    [ "$took" -le $((movetime + slack)) ] && pass "go movetime $movetime: bestmove after $took ms" ||
        fail "go movetime $movetime: bestmove after $took ms"
else
    fail "go movetime $movetime: no bestmove"
fi
send quit
wait "$engine_pid" 2>/dev/null

# Games against the Linux build: no illegal move, time loss, crash or hang on either side.
games=4
"$linux_build/tools/zelmora-match" --engine1 "'$linux_app/zelmora'" --name1 linux \
    --engine2 "wine '$win_app/zelmora.exe'" --name2 "windows$bits" --games $games --tc 5+0.05 \
    --pgn "$work/games.pgn" >"$work/match.out" 2>&1
sed -n '/^Finished/,/^(cpu/p' "$work/match.out" | grep -v '^(cpu'
awk -v games=$games '
    /^Finished:/ { played = $2 }
    /^Engine/ { table = 1; next }
    table && ($1 == "linux" || $1 ~ /^windows/) { rows++; bad += $6 + $7 + $8 + $9 }
    END { exit !(played == games && rows == 2 && bad == 0) }' "$work/match.out" &&
    pass "$games games against the Linux build" || fail "games against the Linux build (see above)"

echo "$failures failed"
[ "$failures" -eq 0 ]
