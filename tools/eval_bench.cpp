// Micro-benchmark of the static evaluation over a fixed set of positions from engine games and
// opening, middlegame and ending samples: once with the material and pawn caches cleared before
// every pass (each evaluation computes its entries), once with them warm.

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "eval/evaluator.h"

using namespace zelmora;

namespace {

const char* const POSITIONS[] = {
    "r1bqk2r/ppp1npbp/3p2p1/3N4/2PpP3/3P2P1/PP3PBP/R1BQK2R b KQkq -",
    "2r5/1k2p2p/p4pp1/1p2n3/2b1P2P/4KPB1/1PB3P1/R7 b - -",
    "8/3k4/N7/1p1b1p2/1P2pP2/4K1Pp/7P/8 w - -",
    "2rn4/1kp3b1/1p2n2p/p5p1/2P1P3/5N1P/PP3PPB/1K1R4 b - -",
    "8/8/1k2R2p/5r2/1K6/8/7P/8 b - -",
    "rnbq1rk1/pp2p1b1/2p2npp/3p1p2/2PP1N2/6P1/PPQ1PPBP/RNBR2K1 b - -",
    "1r1k1r2/1p4p1/3Pb2p/p1P5/1p4BP/6P1/P7/2R2RK1 b - -",
    "8/2b2p1p/1p6/6R1/8/PPkn2P1/8/1K1r4 w - -",
    "rnbq1rk1/ppppbpp1/5n1p/3Np3/1PP5/P3P1P1/3PNPBP/R1BQK2R b KQ -",
    "4Q1k1/pb3rp1/1p3bp1/n7/5q2/7R/PP4P1/3R3K b - -",
    "rnbqr1k1/pp3pp1/2pp1n1p/4p3/1bP1P2B/2NP1N2/PP2BPPP/R2Q1RK1 b - -",
    "8/8/P1n4p/1k5P/1n2P3/1rp2p2/5P2/2K2R2 w - -",
    "rnb2rk1/pp2ppbp/6p1/q1PP4/4nB2/2N1PN2/PP3PPP/2RQKB1R b K -",
    "2r3k1/1bq1b1pp/3p2P1/p3p3/1pr1P3/4BP2/PPPRNQ2/1KR5 b - -",
    "r1bqk2r/1pp1bppp/p1n5/4P3/B1pNn3/8/PP3PPP/RNBQ1RK1 b kq -",
    "r2q2k1/1p3p2/4p2p/p2pP3/4p3/1P2P3/P4PPP/2RQ2K1 b - -",
    "8/8/P4Q2/2p3pk/3p3P/5bP1/5P2/5RK1 b - -",
    "rnb2rk1/2ppqppp/1p2pn2/p7/2PP4/P2BPN1P/1P1Q1PP1/RN2K2R b KQ -",
    "3rr1k1/1p1N2pp/4p3/1p1p4/1P6/2PR4/P4PPP/4R1K1 b - -",
    "8/2p5/2k5/p7/n7/1p1K4/8/8 b - -",
    "r1b1k2r/ppppqppp/8/4P3/1bn2Bn1/P1N2N2/1PQ1PPPP/R3KB1R b KQkq -",
    "6k1/1p3p1p/6p1/8/r1B5/2b5/1R3PPP/5RK1 b - -",
    "1k1K4/8/1n6/8/8/1Q6/8/8 w - -",
    "rn1qk2r/pp3ppp/2pb1p2/8/3P4/2P2Q1P/PP3PP1/R1B1KB1R b KQkq -",
    "8/pp6/5k2/5Bpp/8/2P5/PP4PP/4N1K1 b - -",
    "8/2K5/P5k1/R4pP1/7p/1r6/8/8 b - -",
    "r2q1rk1/1pp1bppp/2npbn2/p3p1N1/2P5/2NP2P1/PP2PPBP/1RBQ1RK1 b - -",
    "7k/p6p/4R1p1/1rp5/8/P5P1/1P5P/6K1 b - -",
    "rnb1k2r/pp3p1p/3qpp2/2p5/1b1P4/P1N2N2/1P1QPPPP/R3KB1R b KQkq -",
    "r4nk1/1p4pp/p3B2N/q3P3/P3Q2P/8/1P3PP1/4b1K1 b - -",
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -",
};

std::vector<Position> positions() {
    initBoardTables();
    std::vector<Position> all;
    for (const char* fen : POSITIONS) {
        Position pos;
        if (pos.setFen(fen) != nullptr) all.push_back(pos);
    }
    return all;
}

void evaluateCold(benchmark::State& state) {
    const std::vector<Position> all = positions();
    auto evaluator = std::make_unique<Evaluator>();
    std::int64_t count = 0;
    for (auto _ : state) {
        state.PauseTiming();
        evaluator->clearCaches();
        state.ResumeTiming();
        for (const Position& pos : all) benchmark::DoNotOptimize(evaluator->evaluate(pos));
        count += std::int64_t(all.size());
    }
    state.SetItemsProcessed(count);
}
BENCHMARK(evaluateCold);

void evaluateWarm(benchmark::State& state) {
    const std::vector<Position> all = positions();
    auto evaluator = std::make_unique<Evaluator>();
    for (const Position& pos : all) evaluator->evaluate(pos);
    std::int64_t count = 0;
    for (auto _ : state) {
        for (const Position& pos : all) benchmark::DoNotOptimize(evaluator->evaluate(pos));
        count += std::int64_t(all.size());
    }
    state.SetItemsProcessed(count);
}
BENCHMARK(evaluateWarm);

}  // namespace

BENCHMARK_MAIN();
