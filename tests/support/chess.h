#pragma once
// Positions and moves for the tests: FEN in and out, coordinate moves, legal moves, colour and
// wing mirrors of a FEN, and positions of seeded random games.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "board/game_record.h"
#include "board/movegen.h"
#include "board/notation.h"

namespace zelmora::test {

inline Position fromFen(const std::string& fen) {
    Position pos;
    EXPECT_NE(pos.setFen(fen.c_str()), nullptr) << fen;
    return pos;
}

inline std::string fenOf(const Position& pos) {
    char buffer[128];
    return pos.writeFen(buffer);
}

inline Move parseMove(const Position& pos, const std::string& text) {
    Move m = NO_MOVE;
    EXPECT_TRUE(textToMove(pos, text.c_str(), m, true)) << text;
    return m;
}

inline std::string coordinate(const Position& pos, Move m) {
    char buffer[32];
    return moveToText(pos, m, MoveStyle::COORDINATE, buffer);
}

inline std::vector<Move> legalMoves(const Position& pos) {
    MoveEntry list[MAX_MOVES];
    std::vector<Move> moves;
    for (int i = 0, n = generateMoves(pos, list); i < n; ++i) {
        Position copy = pos;
        UndoRecord undo;
        if (copy.makeLegal(list[i].move, undo)) moves.push_back(list[i].move);
    }
    return moves;
}

// Plays the moves; false when one is not legal.
inline bool playLine(Position& pos, const std::vector<Move>& line) {
    for (Move m : line) {
        const std::vector<Move> legal = legalMoves(pos);
        UndoRecord undo;
        if (std::find(legal.begin(), legal.end(), m) == legal.end() || !pos.makeLegal(m, undo)) return false;
    }
    return true;
}

// The position after the coordinate moves from the classical start.
inline Position positionAfter(const std::vector<std::string>& moves) {
    Position pos;
    for (const std::string& text : moves) EXPECT_TRUE(playLine(pos, {parseMove(pos, text)})) << text;
    return pos;
}

inline Move moveOf(const std::vector<std::string>& before, const std::string& text) {
    return parseMove(positionAfter(before), text);
}

// The same position with the colours exchanged and the board upside down; or, with files set,
// each rank reversed (for positions without castling rights). Move counters are kept.
inline std::string mirrorFen(const std::string& fen, bool files = false) {
    std::istringstream in(fen);
    std::string board, side, castling = "-", ep = "-", counters, rank, out;
    in >> board >> side >> castling >> ep;
    std::getline(in, counters);
    std::vector<std::string> ranks;
    for (std::istringstream all(board); std::getline(all, rank, '/');)
        ranks.push_back(files ? std::string(rank.rbegin(), rank.rend()) : rank);
    if (!files) std::reverse(ranks.begin(), ranks.end());
    for (const std::string& r : ranks) out.append(out.empty() ? "" : "/").append(r);
    if (files) {
        if (ep != "-") ep[0] = char('a' + 'h' - ep[0]);
        return out + " " + side + " " + castling + " " + ep + counters;
    }
    for (std::string* text : {&out, &castling})
        for (char& c : *text)
            if (std::isalpha(static_cast<unsigned char>(c))) c = char(c ^ 0x20);
    if (ep.size() == 2) ep[1] = char('1' + '8' - ep[1]);
    return out + (side == "w" ? " b " : " w ") + castling + " " + ep + counters;
}

// Positions of seeded random games from the classical and from Chess960 starts; captures are
// preferred half of the time so that the walks reach endings.
inline std::vector<std::string> randomWalkPositions(unsigned seed, int games, int maxPlies) {
    std::mt19937 random(seed);
    std::vector<std::string> fens;
    for (int g = 0; g < games; ++g) {
        Position pos;
        if (g % 2 == 1) pos.setChess960(unsigned(random() % 960));
        for (int ply = 0; ply < maxPlies; ++ply) {
            std::vector<Move> legal = legalMoves(pos), captures;
            for (Move m : legal)
                if (pos.them().pieces[ALL_PIECES] & bit(moveTo(m))) captures.push_back(m);
            if (legal.empty()) break;
            const auto& pool = !captures.empty() && random() % 2 == 0 ? captures : legal;
            UndoRecord undo;
            pos.makeLegal(pool[random() % pool.size()], undo);
            fens.push_back(fenOf(pos));
        }
    }
    return fens;
}

}  // namespace zelmora::test
