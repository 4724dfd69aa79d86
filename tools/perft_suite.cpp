// Runs perft over reference files ("FEN ;D1 n ;D2 n ...") and reports every mismatch.
// Usage: zelmora-perft-suite [--depth N] [--max-nodes N] [--hash MB] file...

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "board/game_record.h"
#include "board/perft.h"

using namespace zelmora;

int main(int argc, char** argv) {
    int maxDepth = 6, hashMb = 0;
    unsigned long long maxNodes = ~0ULL;
    initBoardTables();
    int failures = 0, checked = 0;
    unsigned long long total = 0;
    auto start = std::chrono::steady_clock::now();
    for (int a = 1; a < argc; ++a) {
        if (!std::strcmp(argv[a], "--depth") && a + 1 < argc) { maxDepth = std::atoi(argv[++a]); continue; }
        if (!std::strcmp(argv[a], "--max-nodes") && a + 1 < argc) { maxNodes = std::strtoull(argv[++a], nullptr, 10); continue; }
        if (!std::strcmp(argv[a], "--hash") && a + 1 < argc) { hashMb = std::atoi(argv[++a]); continue; }
        std::ifstream in(argv[a]);
        if (!in) { std::fprintf(stderr, "cannot open %s\n", argv[a]); return 2; }
        std::string line;
        while (std::getline(in, line)) {
            std::size_t semi = line.find(';');
            if (semi == std::string::npos) continue;
            std::string fen = line.substr(0, semi);
            GameRecord game;
            if (!game.setFen(fen.c_str())) {
                std::printf("REJECTED %s\n", fen.c_str());
                ++failures;
                continue;
            }
            for (std::size_t p = semi; p != std::string::npos; p = line.find(';', p + 1)) {
                int depth = 0;
                unsigned long long expected = 0;
                if (std::sscanf(line.c_str() + p, ";D%d %llu", &depth, &expected) != 2) continue;
                if (depth > maxDepth || expected > maxNodes) break;
                PerftTable table(hashMb);
                Position pos = game.position;
                unsigned long long got = perft(pos, depth, &table);
                ++checked;
                total += got;
                if (got != expected) {
                    std::printf("MISMATCH %s depth %d: %llu expected %llu\n", fen.c_str(), depth, got, expected);
                    ++failures;
                }
            }
        }
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%d counts checked, %d failures, %llu nodes, %.2f s\n", checked, failures, total, seconds);
    return failures ? 1 : 0;
}
