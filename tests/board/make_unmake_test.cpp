#include <algorithm>
#include <cstring>
#include <random>

#include "board/perft.h"
#include "board_helpers.h"

namespace zelmora::test {
namespace {

// What a fresh set-up from the FEN computes, square lists in sorted order.
std::vector<std::uint64_t> derivedFields(const Position& pos) {
    std::vector<std::uint64_t> f = {pos.occupied(), pos.key(), pos.pawnKey(), pos.pinnedAttacked(),
                                    std::uint64_t(pos.castlingRights()), std::uint64_t(pos.epSquare())};
    for (const int c : {0, 1}) {
        const SideRecord& x = pos.side(c);
        for (int t = 0; t < PIECE_TYPE_COUNT; ++t) {
            f.insert(f.end(), {x.pieces[t], std::uint64_t(x.count[t])});
            std::vector<std::uint64_t> squares(x.squareList[t], x.squareList[t] + (t == 0 ? 0 : x.count[t]));
            std::sort(squares.begin(), squares.end());
            f.insert(f.end(), squares.begin(), squares.end());
        }
        f.insert(f.end(), {x.attackedByEnemy, x.attackedTwiceByEnemy, x.attackedByEnemyPawns,
                           std::uint64_t(x.materialSum), std::uint64_t(x.materialKey)});
    }
    return f;
}

// A position reached by moves must hold what a fresh set-up from its FEN computes; only the
// order of the square lists may differ.
void expectMatchesFreshSetup(const Position& pos) {
    ASSERT_EQ(derivedFields(pos), derivedFields(fromFen(fenOf(pos)))) << fenOf(pos);
}

struct Snapshot {
    unsigned char bytes[sizeof(Position)];
    explicit Snapshot(const Position& pos) { std::memcpy(bytes, &pos, sizeof bytes); }
    bool same(const Position& pos) const { return std::memcmp(bytes, &pos, sizeof bytes) == 0; }
};

std::string german(const Position& pos, Move m) {
    char buffer[32];
    return moveToText(pos, m, MoveStyle::GERMAN, buffer);
}

// Random games (Chess960 in every second one) in which, at every ply, the FEN reads back to the
// same key, the leaf count of perft agrees with making the moves, every move survives writing
// and reading back, and every generated move is made, checked against a fresh set-up and taken
// back to the very same bytes.
TEST(MakeUnmake, RandomGamesKeepEveryInvariant) {
    std::mt19937 rng(11);
    int made = 0;
    for (int game = 0; game < 40; ++game) {
        Position pos;
        if (game % 2) pos.setChess960(unsigned(rng() % 960));
        for (int ply = 0; ply < 200; ++ply) {
            const Snapshot before(pos);
            const std::string fen = fenOf(pos);
            ASSERT_EQ(fenOf(fromFen(fen)), fen);
            ASSERT_EQ(fromFen(fen).key(), pos.key()) << fen;
            std::vector<Move> legal;
            for (Move m : generated(pos)) {
                UndoRecord undo;
                Position fast = pos;
                const bool fastLegal = fast.makeFast(m, undo);
                if (pos.makeLegal(m, undo)) {
                    ASSERT_TRUE(fastLegal) << coordinate(pos, m);
                    expectMatchesFreshSetup(pos);
                    pos.unmake(undo);
                    legal.push_back(m);
                    ++made;
                    Move back = NO_MOVE;
                    ASSERT_TRUE(textToMove(pos, coordinate(pos, m).c_str(), back, true) && back == m) << fen;
                    const std::string text = german(pos, m);
                    if (text.find(' ') == std::string::npos || text.find(" e.p.") != std::string::npos) {
                        ASSERT_TRUE(textToMove(pos, text.c_str(), back, false) && back == m) << text << " in " << fen;
                    }
                } else {
                    ASSERT_FALSE(fastLegal);
                }
                ASSERT_TRUE(before.same(pos)) << "after " << coordinate(pos, m) << " in " << fen;
            }
            Position counted = pos;
            ASSERT_EQ(perft(counted, 1), legal.size()) << fen;
            if (legal.empty()) break;
            UndoRecord undo;
            pos.makeLegal(legal[rng() % legal.size()], undo);
        }
    }
    EXPECT_GT(made, 100000);
}

TEST(MakeUnmake, SpecialMoves) {
    // En passant removes the captured pawn and reports a pawn taken.
    Position pos = fromFen("4k3/8/8/3pP3/8/8/8/4K3 w - d6");
    UndoRecord undo;
    ASSERT_TRUE(pos.makeLegal(makeMove(28, 19, PAWN), undo));  // e5xd6
    EXPECT_EQ(undo.captured, PAWN);
    EXPECT_EQ(pos.side(BLACK).pieces[PAWN], 0u);
    EXPECT_EQ(pos.side(BLACK).count[ALL_PIECES], 1);

    // A double step leaves an en-passant square only when an enemy pawn can use it.
    pos = fromFen("4k3/8/8/8/3p4/8/4P1P1/4K3 w - -");
    ASSERT_TRUE(pos.makeLegal(makeMove(52, 36, PAWN), undo));  // e2e4 next to the d4 pawn
    EXPECT_EQ(pos.epSquare(), 44);
    EXPECT_EQ(fenOf(pos), "4k3/8/8/8/3pP3/8/6P1/4K3 b - e3");
    pos.unmake(undo);
    ASSERT_TRUE(pos.makeLegal(makeMove(54, 38, PAWN), undo));  // g2g4: nobody can take
    EXPECT_EQ(pos.epSquare(), -1);

    // A capturing under-promotion uses the whole undo log and still restores everything.
    pos = fromFen("1r2k3/P7/8/8/8/8/8/4K3 w - -");
    const Snapshot before(pos);
    ASSERT_TRUE(pos.makeLegal(makeMove(8, 1, PAWN, KNIGHT), undo));
    EXPECT_EQ(pos.side(WHITE).pieces[KNIGHT], bit(1));
    EXPECT_EQ(pos.side(WHITE).count[PAWN], 0);
    expectMatchesFreshSetup(pos);
    pos.unmake(undo);
    EXPECT_TRUE(before.same(pos));
}

}  // namespace
}  // namespace zelmora::test
