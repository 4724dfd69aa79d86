// English SAN and UCI coordinates as the match runner writes them.

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <set>

#include "board/game_record.h"
#include "board/notation.h"
#include "match/move_text.h"

namespace zelmora::match {
namespace {

Position at(const char* fen) {
    Position pos;
    EXPECT_NE(pos.setFen(fen), nullptr) << fen;
    return pos;
}

// The SAN of the legal move written as the given coordinates.
std::string san(const Position& pos, const char* coordinates) {
    Move m = NO_MOVE;
    if (!textToMove(pos, coordinates, m, true)) return "(illegal)";
    return sanText(pos, m);
}

TEST(MatchSan, PiecesCapturesAndDisambiguation) {
    const Position start;
    EXPECT_EQ(san(start, "e2e4"), "e4");
    EXPECT_EQ(san(start, "g1f3"), "Nf3");
    // Two knights reach e4, but the one on f2 is pinned: no disambiguation.
    const Position pinned = at("4k3/8/8/8/7b/2N5/5N2/4K3 w - - 0 1");
    EXPECT_EQ(san(pinned, "c3e4"), "Ne4");
    // File first, the rank when the file is shared, both when both are shared.
    const Position queens = at("4k3/8/8/8/8/Q7/8/Q1Q1K3 w - - 0 1");
    EXPECT_EQ(san(queens, "a1b2"), "Qa1b2");
    EXPECT_EQ(san(queens, "a3b2"), "Q3b2");
    EXPECT_EQ(san(queens, "c1b2"), "Qcb2");
    EXPECT_EQ(san(queens, "a3a2"), "Q3a2");
    const Position rooks = at("4k3/8/8/R7/8/8/8/R3K3 w - - 0 1");
    EXPECT_EQ(san(rooks, "a1a3"), "R1a3");
    EXPECT_EQ(san(rooks, "a5a3"), "R5a3");
    EXPECT_EQ(san(rooks, "a1b1"), "Rb1");
    // Pawn captures, en passant, promotions with check.
    EXPECT_EQ(san(at("4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1"), "e5d6"), "exd6");
    const Position promotion = at("3r2k1/4P3/8/8/8/8/8/4K3 w - - 0 1");
    EXPECT_EQ(san(promotion, "e7d8q"), "exd8=Q+");
    EXPECT_EQ(san(promotion, "e7e8n"), "e8=N");
    EXPECT_EQ(san(promotion, "e7e8r"), "e8=R+");
    // Mate.
    EXPECT_EQ(san(at("rnbqkbnr/pppp1ppp/8/4p3/6P1/5P2/PPPPP2P/RNBQKBNR b KQkq g3 0 2"), "d8h4"), "Qh4#");
}

TEST(MatchSan, CastlingBothNotations) {
    const Position pos = at("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
    Move m = NO_MOVE;
    ASSERT_TRUE(textToMove(pos, "e1g1", m, true));
    EXPECT_EQ(sanText(pos, m), "O-O");
    EXPECT_EQ(uciText(pos, m, false), "e1g1");
    EXPECT_EQ(uciText(pos, m, true), "e1h1");
    ASSERT_TRUE(textToMove(pos, "e1c1", m, true));
    EXPECT_EQ(sanText(pos, m), "O-O-O");
    EXPECT_EQ(uciText(pos, m, false), "e1c1");
    EXPECT_EQ(uciText(pos, m, true), "e1a1");
    // Chess960: king b1 between the rooks; a king step is no castling.
    const Position fischer = at("1k6/8/8/8/8/8/8/RK5R w HA - 0 1");
    ASSERT_TRUE(textToMove(fischer, "b1h1", m, true));
    EXPECT_EQ(sanText(fischer, m), "O-O");
    EXPECT_EQ(uciText(fischer, m, true), "b1h1");
    ASSERT_TRUE(textToMove(fischer, "b1a1", m, true));
    EXPECT_EQ(sanText(fischer, m), "O-O-O");
    EXPECT_EQ(uciText(fischer, m, true), "b1a1");
    EXPECT_EQ(san(fischer, "b1c1"), "Kc1");
}

// Every legal move of many positions: the SAN reads back as the same move, no two moves share a
// SAN, and the coordinates read back too.
TEST(MatchSan, RoundTripsThroughTheReader) {
    std::vector<std::string> fens;
    for (const char* file : {"standard.epd", "chess960.epd"}) {
        std::ifstream in(std::string(ZELMORA_TEST_DATA) + "/perft/" + file);
        std::string line;
        for (int i = 0; i < 60 && std::getline(in, line); ++i) fens.push_back(line.substr(0, line.find(';')));
    }
    ASSERT_GT(fens.size(), 100u);
    std::mt19937 random(7);
    int checked = 0;
    for (const std::string& fen : fens) {
        GameRecord game;
        ASSERT_TRUE(game.setFen(fen.c_str())) << fen;
        const bool chess960 = fen.find("KQ") == std::string::npos && fen.find("kq") == std::string::npos;
        for (int ply = 0; ply < 12; ++ply) {
            const Position& pos = game.position;
            const std::vector<Move> moves = legalMoves(pos);
            if (moves.empty()) break;
            std::set<std::string> seen;
            for (Move m : moves) {
                const std::string text = sanText(pos, m);
                Move back = NO_MOVE;
                EXPECT_TRUE(textToMove(pos, text.c_str(), back, false) && back == m) << fen << " ply " << ply << " " << text;
                EXPECT_TRUE(seen.insert(text).second) << text;
                const std::string coordinates = uciText(pos, m, chess960);
                EXPECT_TRUE(textToMove(pos, coordinates.c_str(), back, true) && back == m) << coordinates;
                ++checked;
            }
            game.playMove(moves[random() % moves.size()]);
        }
    }
    EXPECT_GT(checked, 20000);
}

}  // namespace
}  // namespace zelmora::match
