#!/bin/sh
# Rebuilds the shipped opening book Zelmora.opn with the engine's own "book add" and "book write"
# from the engine-game collection (games from a wide set of human opening lines).
#
#   tools/build_book.sh [engine binary] [games directory] [output file]
#
# Defaults: build/zelmora, ../shared/games beside the repository, Zelmora.opn in the repository.
# The threshold keeps only moves played in three games or more (a line played twice with colours
# swapped is not enough on its own); the width is the engine's default.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
engine=${1:-$root/build/zelmora}
games=${2:-$root/../shared/games}
book=${3:-$root/Zelmora.opn}

{
    echo uci
    for file in "$games"/engine-games-*.pgn; do
        echo "book add $file"
    done
    echo "book write $book threshold 3100 width 25"
    echo quit
} | "$engine"
