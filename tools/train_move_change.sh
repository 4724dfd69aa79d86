#!/usr/bin/env bash
# Rebuilds the best-move-change network from scratch: self-play games with the time log on,
# then a fit of the 42-7-1 network to the logged lines, written into the program's data.
#
#   tools/train_move_change.sh [GAMES_AT_10s GAMES_AT_4s]      (defaults 78 and 119: the games behind the shipped network)
#
# The logs stay in $WORK (default /tmp/zelmora-timelog); they are too big for the repository.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
work=${WORK:-/tmp/zelmora-timelog}
slow=${1:-78}
fast=${2:-119}
mkdir -p "$work"
cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build "$top/build" -j2 --target zelmora zelmora-match zelmora-train-move-change > /dev/null
cp "$top/build/zelmora" "$work/zelmora-log"  # rebuilding during the games must not touch the players

play() {  # name, games, time control, opening seed, log files a and b
    "$top/build/tools/zelmora-match" --engine1 "$work/zelmora-log" --engine2 "$work/zelmora-log" \
        --name1 "$1-a" --name2 "$1-b" --option Hash=32 \
        --option1 "Zeitprotokolldatei=$work/$5" --option2 "Zeitprotokolldatei=$work/$6" \
        --games "$2" --tc "$3" --openings "$top/tools/data/openings.txt" --shuffle "$4" \
        --draw 40 10 8 --resign 3000 4 --pgn "$work/$1.pgn" > "$work/$1.log"
}
rm -f "$work"/log*.txt
play slow "$slow" 10+0.1 11 log1.txt log2.txt &
play fast "$fast" 4+0.04 12 log3.txt log4.txt
wait
"$top/build/tools/zelmora-train-move-change" "$work"/log1.txt "$work"/log2.txt "$work"/log3.txt "$work"/log4.txt \
    > "$top/src/data/move_change_network.cpp"
