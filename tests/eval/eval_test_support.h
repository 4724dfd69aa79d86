#pragma once
// Positions from real games and mirrored recognizer names for the evaluation tests.

#include <fstream>
#include <string>
#include <vector>

#include "eval/recognizer.h"
#include "support/chess.h"

namespace zelmora::test {

inline Position positionOf(const std::string& fen) { return fromFen(fen); }
inline std::string mirror(const std::string& fen, bool files = false) { return mirrorFen(fen, files); }

// 565 positions sampled from engine games: after ply 16, after ply 50 and 6 plies before the end.
inline std::vector<std::string> gamePositions() {
    std::ifstream in(std::string(ZELMORA_TEST_DATA) + "/eval/game_positions.fen");
    std::vector<std::string> fens;
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) fens.push_back(line);
    return fens;
}

// The kind's name with the strong colour or the parameter's sign exchanged.
inline std::string mirrorName(std::string name) {
    auto swap = [&name](const std::string& a, const std::string& b) {
        const std::size_t at = name.find(a);
        if (at != std::string::npos) name.replace(at, a.size(), b);
        return at != std::string::npos;
    };
    if (!swap("/White", "/Black") && !swap("/Black", "/White") && !swap("/+100", "/-100")) swap("/-100", "/+100");
    return name;
}

}  // namespace zelmora::test
