// English SAN and UCI coordinates as the match runner writes them.

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <set>
#include <tuple>

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

TEST(MatchSan, PiecesCapturesDisambiguationAndCastling) {
    const char* const START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
    const char* const QUEENS = "4k3/8/8/8/8/Q7/8/Q1Q1K3 w - - 0 1";
    const char* const ROOKS = "4k3/8/8/R7/8/8/8/R3K3 w - - 0 1";
    const char* const PROMOTION = "3r2k1/4P3/8/8/8/8/8/4K3 w - - 0 1";
    const char* const CASTLING = "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1";
    const char* const FISCHER = "1k6/8/8/8/8/8/8/RK5R w HA - 0 1";  // king b1 between the rooks
    const struct {
        const char *fen, *move, *san;
    } cases[] = {
        {START, "e2e4", "e4"}, {START, "g1f3", "Nf3"},
        // Two knights reach e4, but the one on f2 is pinned: no disambiguation.
        {"4k3/8/8/8/7b/2N5/5N2/4K3 w - - 0 1", "c3e4", "Ne4"},
        // File first, the rank when the file is shared, both when both are shared.
        {QUEENS, "a1b2", "Qa1b2"}, {QUEENS, "a3b2", "Q3b2"}, {QUEENS, "c1b2", "Qcb2"}, {QUEENS, "a3a2", "Q3a2"},
        {ROOKS, "a1a3", "R1a3"}, {ROOKS, "a5a3", "R5a3"}, {ROOKS, "a1b1", "Rb1"},
        // Pawn captures, en passant, promotions with check, mate.
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "e5d6", "exd6"},
        {PROMOTION, "e7d8q", "exd8=Q+"}, {PROMOTION, "e7e8n", "e8=N"}, {PROMOTION, "e7e8r", "e8=R+"},
        {"rnbqkbnr/pppp1ppp/8/4p3/6P1/5P2/PPPPP2P/RNBQKBNR b KQkq g3 0 2", "d8h4", "Qh4#"},
        {CASTLING, "e1g1", "O-O"}, {CASTLING, "e1c1", "O-O-O"},
        {FISCHER, "b1h1", "O-O"}, {FISCHER, "b1a1", "O-O-O"}, {FISCHER, "b1c1", "Kc1"},
    };
    for (const auto& c : cases) {
        const Position pos = at(c.fen);
        Move m = NO_MOVE;
        ASSERT_TRUE(textToMove(pos, c.move, m, true)) << c.fen << " " << c.move;
        EXPECT_EQ(sanText(pos, m), c.san) << c.fen << " " << c.move;
    }
    // Castling goes out as the king's step, or in Chess960 notation as king takes rook.
    const Position pos = at(CASTLING);
    const std::tuple<const char*, bool, const char*> coordinates[] = {
        {"e1g1", false, "e1g1"}, {"e1g1", true, "e1h1"}, {"e1c1", false, "e1c1"}, {"e1c1", true, "e1a1"}};
    for (const auto& [move, chess960, text] : coordinates) {
        Move m = NO_MOVE;
        ASSERT_TRUE(textToMove(pos, move, m, true));
        EXPECT_EQ(uciText(pos, m, chess960), text) << move << " " << chess960;
    }
    Move m = NO_MOVE;
    ASSERT_TRUE(textToMove(at(FISCHER), "b1a1", m, true));
    EXPECT_EQ(uciText(at(FISCHER), m, true), "b1a1");
}

}  // namespace
}  // namespace zelmora::match
