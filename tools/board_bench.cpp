// Micro-benchmarks of the board's hot paths: generation, full make/unmake and perft.

#include <benchmark/benchmark.h>

#include "board/movegen.h"
#include "board/perft.h"

using namespace zelmora;

namespace {

const char* const POSITIONS[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -",
    "r2q1rk1/pP1p2pp/Q4n2/bbp1p3/Np6/1B3NBn/pPPP1PPP/R3K2R b KQ -",
};

std::vector<Position> positions() {
    initBoardTables();
    std::vector<Position> all;
    for (const char* fen : POSITIONS) {
        Position pos;
        pos.setFen(fen);
        all.push_back(pos);
    }
    return all;
}

void generateAll(benchmark::State& state) {
    std::vector<Position> all = positions();
    MoveEntry list[MAX_MOVES];
    std::int64_t moves = 0;
    for (auto _ : state)
        for (const Position& pos : all) moves += generateMoves(pos, list);
    state.SetItemsProcessed(moves);
}
BENCHMARK(generateAll);

void makeLegalAndUnmake(benchmark::State& state) {
    std::vector<Position> all = positions();
    MoveEntry list[MAX_MOVES];
    std::int64_t made = 0;
    for (auto _ : state)
        for (Position& pos : all) {
            const int n = generateMoves(pos, list);
            UndoRecord undo;
            for (int i = 0; i < n; ++i)
                if (pos.makeLegal(list[i].move, undo)) {
                    pos.unmake(undo);
                    ++made;
                }
        }
    state.SetItemsProcessed(made);
}
BENCHMARK(makeLegalAndUnmake);

void perftFour(benchmark::State& state) {
    std::vector<Position> all = positions();
    std::int64_t nodes = 0;
    for (auto _ : state)
        for (Position& pos : all) nodes += std::int64_t(perft(pos, 4));
    state.SetItemsProcessed(nodes);
}
BENCHMARK(perftFour)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
