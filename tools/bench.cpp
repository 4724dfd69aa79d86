// zelmora-bench: searches a fixed set of positions to a fixed depth, each with a fresh table, and
// prints the nodes of each and the totals. The node total is the search's signature: a change
// that alters it changes the engine's behaviour.
// Usage: zelmora-bench [depth] [hash MiB] [threads]
// With more than one thread the node counts are the main thread's and vary from run to run; the
// time to reach the depth is what compares.

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "board/attacks.h"
#include "control/search_control.h"
#include "control/session.h"
#include "uci/uci_output.h"

using namespace zelmora;

namespace {

// Openings, middlegames (many from engine games) and endings of every kind.
const char* const POSITIONS[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "r2q1rk1/pP1p2pp/Q4n2/bbp1p3/Np6/1B3NBn/pPPP1PPP/R3K2R b KQ - 0 1",
    "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
    "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10",
    "rnbq1rk1/pp1p1pp1/4pn1p/2b5/2P4B/1QN2N2/PP2PPPP/R3KB1R b KQ - 0 1",
    "3b1rk1/p1q2p1p/1p4p1/2p5/2P1NPb1/1Q2P3/P4PBP/5RK1 b - - 0 1",
    "2b2rk1/p5bp/2p3r1/2N5/5p2/3P1K1P/PP6/1R3R2 b - - 0 1",
    "r1bqkb1r/pp3ppp/4p3/2P1n3/4p3/2Q1B3/PPP2PPP/R3KBNR b KQkq - 0 1",
    "r2qrk2/1pp2p2/3p1Np1/p5P1/1nP1PP1Q/P6P/1P2B3/2KR4 b - - 0 1",
    "r1bq1rk1/p1pp1ppp/1pnb1n2/4p3/2BPP3/2P2N2/P2N1PPP/R1BQR1K1 b - - 0 1",
    "3rr1k1/p4ppp/8/2b2b2/3q2P1/P4B1K/RP1PnP1P/2B1Q2R b - - 0 1",
    "3rr3/4qp1k/pp2pnpp/2p1Q3/2P3P1/1PN3BP/P4P2/1BR3K1 b - - 0 1",
    "r1bqk2r/1p2bppp/p1nppn2/8/3NP3/2N1BP2/PPPQ2PP/2KR1B1R b kq - 0 1",
    "r1bqk2r/1pp1bppp/p1n5/4P3/B1pNn3/8/PP3PPP/RNBQ1RK1 b kq - 0 1",
    "rR1q2k1/4npp1/2p4p/p4b2/Q2P1N2/5B1P/5PP1/2R3K1 b - - 0 1",
    "rnbq1rk1/pp3pbp/3p1np1/2pP4/8/2NBPN1P/PP3PP1/R1BQK2R b KQ - 0 1",
    "r1b5/1p1pkr1p/1P1B3R/p4p1N/1n2p3/4PP1P/P3P3/4KB2 b - - 0 1",
    "r1bqnrk1/pp1p1pbp/n2Pp1p1/1Np5/2P4P/6P1/PP2PPB1/R1BQK1NR b KQ - 0 1",
    "kr6/ppQ2p2/5N2/1P1P3p/6p1/6Pq/P6P/2R4K b - - 0 1",
    "r1b1r1k1/2p3bp/2Np2p1/1PpPpp2/p3P2P/3P1N2/P4PP1/1R2R1K1 b - - 0 1",
    "rn1q1rk1/pbpp1pp1/1p2pn1p/8/2PP4/2N2NP1/PP1QPPBP/R4RK1 b - - 0 1",
    "r5k1/1pp2p2/1n3Rp1/1P5p/p3P3/4b2P/1P2B1P1/1R3K2 b - - 0 1",
    "8/8/4K3/B7/8/8/4p3/1k6 b - - 0 1",
    "8/6b1/8/1k5P/3pK1P1/8/8/8 w - - 0 1",
    "7b/3P1p2/4k2p/6P1/3q2p1/Pp4K1/1P4P1/8 b - - 0 1",
    "8/7B/2b5/1pk3p1/8/P7/1P3K2/8 w - - 0 1",
    "8/2k5/R7/1P6/8/1K6/p6r/8 b - - 0 1",
    "3k4/p6r/1p1P4/2p5/8/P7/KP6/3R4 w - - 0 1",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "8/8/1p1k4/p1p5/P1P1K3/1P6/8/8 w - - 0 1",
    "6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1",
    "8/8/8/5q2/1K6/3k4/8/8 w - - 0 1",
    "4k3/8/8/8/8/8/8/4K2R w K - 0 1",
};

}  // namespace

int main(int argc, char** argv) {
    const int depth = argc > 1 ? std::atoi(argv[1]) : 8;
    const int hashMb = argc > 2 ? std::atoi(argv[2]) : 16;
    const int threads = argc > 3 ? std::atoi(argv[3]) : 1;
    initBoardTables();
    Session session;
    SearchControl control(session);
    Engine& engine = control.mainEngine();
    control.table().resize(std::size_t(hashMb) * 1048576);
    std::FILE* nowhere = std::fopen("/dev/null", "w");
    UciOutput output(control.clock(), nowhere);
    control.setOutput(&output);
    control.blocking = true;  // go returns with the search done
    control.setThreadCount(threads);
    std::uint64_t totalNodes = 0;
    double totalSeconds = 0;
    int index = 0;
    for (const char* fen : POSITIONS) {
        ++index;
        if (!session.game.setFen(fen)) {
            std::fprintf(stderr, "bad position %s\n", fen);
            return 1;
        }
        output.setRootPosition(session.game.position);
        control.table().clear();
        engine.evaluator.clearCaches();
        GoParameters go;
        go.depth = depth;
        const auto start = std::chrono::steady_clock::now();
        control.go(go, false, false);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        totalNodes += engine.nodes;
        totalSeconds += seconds;
        std::printf("%2d %12llu nodes %8.3f s  %s\n", index, (unsigned long long)engine.nodes, seconds, fen);
    }
    std::printf("positions %d depth %d threads %d\n", index, depth, control.threadCount());
    std::printf("nodes %llu\n", (unsigned long long)totalNodes);
    std::printf("time %.3f s\n", totalSeconds);
    std::printf("nps %.0f\n", double(totalNodes) / (totalSeconds > 0 ? totalSeconds : 1));
    return 0;
}
