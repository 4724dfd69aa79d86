#!/usr/bin/env bash
# Plays Zelmora against another engine under the real xboard GUI (Debian's xboard package) on a
# virtual X display, in xboard's match mode, and collects the games as PGN.
#
#   tools/xboard_match.sh [options]
#     -e ENGINE     Zelmora binary                 (default: build/zelmora)
#     -o OPPONENT   opponent command line          (default: /usr/games/fairymax)
#     -O            the opponent speaks UCI: xboard wraps it in polyglot (Chess960 needs
#                   this, e.g. -O -o /usr/games/stockfish; fairymax plays no fischerandom)
#     -g GAMES      number of games                (default: 2; colours alternate)
#     -t TC         base time, minutes[:seconds]   (default: 0:30)
#     -i INC        increment in seconds           (default: 0)
#     -m MPS        moves per period (repeating 'level MPS TC 0' periods; default: none)
#     -v VARIANT    normal or fischerandom         (default: normal)
#     -p            pondering for both engines ("hard")
#     -d DIR        output directory               (default: xboard-match)
#     -a PGN        no match: Zelmora alone analyses the first game of PGN in xboard's
#                   "analyze file" mode (half a second per move), ending at the game's end
#
# The output directory gets games.pgn, xboard-debug.txt (the full protocol log with timestamps),
# xboard-out.txt and summary.txt. Needs: apt-get install xboard xvfb (and fairymax or polyglot).
set -u

engine=build/zelmora
opponent=/usr/games/fairymax
uci_opponent=0
games=2
tc=0:30
inc=0
mps=
variant=normal
ponder=false
dir=xboard-match

analyze_file=
while getopts "e:o:Og:t:i:m:v:pd:a:" option; do
    case $option in
        e) engine=$OPTARG ;;
        o) opponent=$OPTARG ;;
        O) uci_opponent=1 ;;
        g) games=$OPTARG ;;
        t) tc=$OPTARG ;;
        i) inc=$OPTARG ;;
        m) mps=$OPTARG ;;
        v) variant=$OPTARG ;;
        p) ponder=true ;;
        d) dir=$OPTARG ;;
        a) analyze_file=$(realpath "$OPTARG") || exit 2 ;;
        *) sed -n '2,20p' "$0"; exit 2 ;;
    esac
done

# xboard finds polyglot (for UCI opponents) on the PATH.
export PATH=$PATH:/usr/games
for tool in /usr/games/xboard xvfb-run; do
    command -v "$tool" >/dev/null || { echo "missing $tool: apt-get install xboard xvfb" >&2; exit 2; }
done
engine=$(realpath "$engine") || exit 2
mkdir -p "$dir/zelmora" "$dir/opponent"
dir=$(realpath "$dir")
rm -f "$dir/games.pgn" "$dir/xboard-debug.txt" "$dir/xboard-out.txt" "$dir/summary.txt"

opponent_args=(-scp "$opponent" -sd "$dir/opponent")
if [ "$uci_opponent" = 1 ]; then
    # xboard starts polyglot on the UCI engine itself.
    opponent_args=(-scp "$opponent" -sd "$dir/opponent" -sUCI)
fi
tc_args=(-tc "$tc" -inc "$inc")
[ -n "$mps" ] && tc_args=(-tc "$tc" -mps "$mps")
variant_args=()
# xboard shuffles a new Chess960 start position for each game.
[ "$variant" = fischerandom ] && variant_args=(-variant fischerandom)

# Each game gets its base time plus 3 s per move over 150 half-moves, so a hanging GUI or engine
# cannot block the script for ever.
base_seconds=$(awk -F: '{ print (NF == 2) ? $1 * 60 + $2 : $1 * 60 }' <<<"$tc")
limit=$(( games * (2 * ${base_seconds%.*} + 300) + 60 ))

mode_args=(-matchMode true -matchGames "$games" "${opponent_args[@]}" "${variant_args[@]}"
           -ponderNextMove "$ponder" -saveGameFile "$dir/games.pgn")
if [ -n "$analyze_file" ]; then
    mode_args=(-initialMode AnalyzeFile -loadGameFile "$analyze_file" -loadGameIndex 1 -timeDelay 0.5)
    limit=600
fi
log=$dir/xboard-debug.txt

(
    cd "$dir" || exit 1
    exec xvfb-run -a /usr/games/xboard -fcp "$engine" -fd "$dir/zelmora" "${mode_args[@]}" \
        "${tc_args[@]}" -autoCallFlag true -testClaims true -checkMates true \
        -debug -nameOfDebugFile "$log" -showThinking true -saveSettingsOnExit false
) >"$dir/xboard-out.txt" 2>&1 &
runner=$!

# xboard prints the final score when the match is over but keeps its window open: end it then.
# Its pop-up messages ("second engine does not play this", ...) also go to the terminal; each
# of them stops the match, so the script stops at the first one.
for (( waited = 0; waited < limit; waited += 2 )); do
    grep -q "^xboard: " "$dir/xboard-out.txt" 2>/dev/null && break
    # At the end of an analysed game xboard takes the engine out of analyze mode.
    [ -n "$analyze_file" ] && grep -q ">first : exit" "$log" 2>/dev/null && break
    kill -0 "$runner" 2>/dev/null || break
    sleep 2
done
finished=yes
grep -q "final score" "$dir/xboard-out.txt" "$log" 2>/dev/null || grep -q ">first : exit" "$log" 2>/dev/null \
    || finished="no (stopped after ${waited} s)"
# Ending xboard itself lets it send "quit" to both engines; xvfb-run then takes its display down.
gui=$(pgrep -P "$runner" -x xboard)
[ -n "$gui" ] && kill -TERM $gui 2>/dev/null
sleep 2
[ -n "$gui" ] && kill -KILL $gui 2>/dev/null
wait "$runner" 2>/dev/null

{
    echo "match finished: $finished"
    grep -h "^xboard: " "$dir/xboard-out.txt"
    echo "games in PGN: $(grep -c '^\[Result ' "$dir/games.pgn" 2>/dev/null || echo 0)"
    echo "results:"
    awk -F'"' '/^\[White /{w=$2} /^\[Black /{b=$2} /^\[Result /{print "  " w " - " b ": " $2}' "$dir/games.pgn" 2>/dev/null
    echo "game ends:"
    grep -ho '{[^}]*} *\(1-0\|0-1\|1/2-1/2\|\*\)$' "$dir/games.pgn" 2>/dev/null | sort | uniq -c | sed 's/^/  /'
    echo "illegal moves from an engine: $(grep -c 'Illegal move' "$log" 2>/dev/null)"
    echo "time forfeits: $(cat "$dir/games.pgn" 2>/dev/null | grep -ci 'loses on time\|wins on time\|time forfeit')"
    echo "result claims by Zelmora: $(grep -c '<first : \(1-0\|0-1\|1/2-1/2\) {' "$log" 2>/dev/null) as first engine"
    if [ -n "$analyze_file" ]; then
        echo "analysed moves: $(grep -c '>first : usermove' "$log")," \
            "thinking lines: $(grep -c '<first : *[0-9]* -\?[0-9]* [0-9]* [0-9]* ' "$log")," \
            "stat01 answers: $(grep -c '<first : stat01:' "$log")"
    fi
    echo "error lines from the first engine:"
    grep -h '<first : Error\|<first : Illegal' "$log" 2>/dev/null | sed 's/^[0-9]* //' | sort | uniq -c | sed 's/^/  /'
} | tee "$dir/summary.txt"
