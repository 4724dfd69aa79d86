#pragma once
// Mirrored twins of positions (by FEN text) and seeded random games for the evaluation tests.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "board/movegen.h"

namespace zelmora::test {

inline Position positionOf(const std::string& fen) {
    Position pos;
    EXPECT_NE(pos.setFen(fen.c_str()), nullptr) << fen;
    return pos;
}

// The twin of a FEN (four fields): ranks reversed with colours, side, castling and en passant
// swapped; or, with files set, each rank reversed (only for positions without castling rights).
inline std::string mirror(const std::string& fen, bool files = false) {
    std::istringstream in(fen);
    std::string board, side, castling = "-", ep = "-";
    in >> board >> side >> castling >> ep;
    std::vector<std::string> ranks(1);
    for (char c : board) {
        if (c == '/') ranks.emplace_back();
        else if (std::isdigit(static_cast<unsigned char>(c))) ranks.back().append(std::size_t(c - '0'), '1');
        else ranks.back() += files ? c : char(std::isupper(c) ? std::tolower(c) : std::toupper(c));
    }
    std::string out;
    for (std::size_t i = 0; i < ranks.size(); ++i) {
        std::string rank = files ? std::string(ranks[i].rbegin(), ranks[i].rend()) : ranks[ranks.size() - 1 - i];
        out += i == 0 ? "" : "/";
        for (std::size_t j = 0; j < rank.size(); ++j) {
            if (rank[j] != '1') out += rank[j];
            else if (j == 0 || rank[j - 1] != '1') out += char('0' + std::min(rank.find_first_not_of('1', j), rank.size()) - j);
        }
    }
    if (files) return out + " " + side + " " + castling + " " + (ep == "-" ? ep : char('a' + 'h' - ep[0]) + ep.substr(1));
    for (char& c : castling) c = char(std::isupper(c) ? std::tolower(c) : std::toupper(c));
    if (ep != "-") ep[1] = char('1' + '8' - ep[1]);
    return out + (side == "w" ? " b " : " w ") + castling + " " + ep;
}

// Positions of seeded random games from the classical and from Chess960 starts; captures are
// preferred half of the time so that the walks reach endings.
inline std::vector<std::string> randomWalkPositions(unsigned seed, int games, int maxPlies) {
    std::mt19937 random(seed);
    std::vector<std::string> fens;
    char buffer[128];
    for (int g = 0; g < games; ++g) {
        Position pos;
        if (g % 2 == 1) pos.setChess960(unsigned(random() % 960));
        for (int ply = 0; ply < maxPlies; ++ply) {
            MoveEntry list[MAX_MOVES];
            std::vector<Move> legal, captures;
            for (int i = 0, n = generateMoves(pos, list); i < n; ++i) {
                Position copy = pos;
                UndoRecord undo;
                if (!copy.makeLegal(list[i].move, undo)) continue;
                legal.push_back(list[i].move);
                if (pos.them().pieces[ALL_PIECES] & bit(moveTo(list[i].move))) captures.push_back(list[i].move);
            }
            if (legal.empty()) break;
            const auto& pool = !captures.empty() && random() % 2 == 0 ? captures : legal;
            UndoRecord undo;
            pos.makeLegal(pool[random() % pool.size()], undo);
            fens.push_back(pos.writeFen(buffer));
        }
    }
    return fens;
}

inline std::vector<std::string> gamePositions() {
    std::ifstream in(std::string(ZELMORA_TEST_DATA) + "/eval/game_positions.fen");
    std::vector<std::string> fens;
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) fens.push_back(line);
    return fens;
}

}  // namespace zelmora::test
