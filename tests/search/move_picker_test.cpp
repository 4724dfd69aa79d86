#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "search/move_picker.h"
#include "search_test_helpers.h"

namespace zelmora {
namespace {

using test::fromFen;
const auto parse = test::parseMove;

struct Picked {
    Move move;
    std::int32_t score;
    bool late;
};

std::vector<Picked> drain(MoveGenerator& gen) {
    std::vector<Picked> out;
    while (MoveEntry* e = gen.next()) out.push_back({e->move, e->score, gen.late()});
    return out;
}

// A fresh picker and its storage; history and killers start empty.
struct Picker {
    MoveEntry buffer[MAX_MOVES];
    HistoryTable history;
    KillerGroup killers{NO_MOVE, -9999, NO_MOVE, -9999};
    MoveGenerator gen;
    int count = 0;

    Picker() { history.reset(); }
    std::vector<Picked> run(const Position& pos, Move hash = NO_MOVE, BusyMoveSet* busy = nullptr,
                            bool quiescence = false, bool checks = false) {
        count = gen.init(buffer, pos, history, quiescence, checks, killers, busy, hash);
        return drain(gen);
    }
};

std::vector<Move> sortedMoves(const std::vector<Picked>& picked) {
    std::vector<Move> moves;
    for (const Picked& p : picked) moves.push_back(p.move);
    std::sort(moves.begin(), moves.end());
    return moves;
}

std::vector<Move> sortedGeneratedMoves(const Position& pos, bool quiescence, bool checks) {
    MoveEntry list[MAX_MOVES];
    std::vector<Move> moves;
    for (int i = 0, n = generateMoves(pos, list, quiescence, checks); i < n; ++i) moves.push_back(list[i].move);
    std::sort(moves.begin(), moves.end());
    return moves;
}

// Positions met on random games from a few rich starting points.
std::vector<Position> randomWalkPositions() {
    const char* starts[] = {
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
        "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
        "n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - - 0 1",
        "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3",
    };
    std::mt19937 rng(2024);
    std::vector<Position> positions;
    for (const char* fen : starts) {
        for (int game = 0; game < 6; ++game) {
            Position pos = fromFen(fen);
            for (int ply = 0; ply < 60; ++ply) {
                positions.push_back(pos);
                const Move m = test::randomMove(pos, rng);
                UndoRecord undo;
                if (m == NO_MOVE) break;
                pos.makeLegal(m, undo);
            }
        }
    }
    return positions;
}

TEST(MoveGenerator, HandsOutEveryMoveOnceInEveryMode) {
    const Move foreign = makeMove(0, 63, QUEEN);
    BusyMoveSet allBusy;
    for (unsigned k = 0; k < BusyMoveSet::SIZE; ++k) allBusy.testAndSet(k);
    std::mt19937 rng(7);
    int checked = 0;

    for (const Position& pos : randomWalkPositions()) {
        const struct { bool quiescence, checks; } modes[] = {{false, false}, {true, false}, {true, true}};
        for (const auto& mode : modes) {
            const std::vector<Move> expected = sortedGeneratedMoves(pos, mode.quiescence, mode.checks);
            const Move inList = expected.empty() ? NO_MOVE : expected[rng() % expected.size()];
            BusyMoveSet fresh;
            const struct { Move hash; BusyMoveSet* busy; } variants[] = {
                {NO_MOVE, nullptr}, {inList, nullptr}, {foreign, nullptr}, {NO_MOVE, &allBusy}, {inList, &fresh}};
            for (const auto& v : variants) {
                Picker p;
                const std::vector<Picked> picked = p.run(pos, v.hash, v.busy, mode.quiescence, mode.checks);
                ASSERT_EQ(p.count, int(expected.size()));
                ASSERT_EQ(sortedMoves(picked), expected);
                if (v.hash == inList && inList != NO_MOVE) {
                    EXPECT_EQ(picked.front().move, inList);
                    for (std::size_t i = 1; i < picked.size(); ++i) EXPECT_TRUE(picked[i].late);
                }
                // Without other threads the scored stage is strictly best-first.
                if (!v.busy) {
                    for (std::size_t i = 1; i < picked.size(); ++i) {
                        if (picked[i - 1].late) {
                            EXPECT_GE(picked[i - 1].score, picked[i].score);
                        }
                    }
                }
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 1000);
}

TEST(MoveGenerator, RecapturesAndEnPassantComeFirstOnlyWithoutAHashMove) {
    const Position pos = fromFen("rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3");
    const Move ep = parse(pos, "e5f6");
    Picker p;

    std::vector<Picked> picked = p.run(pos);
    EXPECT_EQ(picked[0].move, ep);
    EXPECT_FALSE(picked[0].late);
    EXPECT_TRUE(picked[1].late);

    const Move hash = parse(pos, "g1f3");
    picked = p.run(pos, hash);
    EXPECT_EQ(picked[0].move, hash);
    EXPECT_TRUE(picked[1].late);  // stage 2 skipped: the capture waits for its score
    EXPECT_NE(picked[1].move, ep);

    picked = p.run(pos, makeMove(48, 24, PAWN));  // a2a5 is no move here: ignored
    EXPECT_EQ(picked[0].move, ep);


    // The rook that just arrived on h5 is taken first, though cxd3 wins more.
    Position played = fromFen("4k3/8/8/r7/8/3q4/2P5/4K2R b - - 0 1");
    UndoRecord undo;
    ASSERT_TRUE(played.makeLegal(parse(played, "a5h5"), undo));
    picked = p.run(played);
    EXPECT_EQ(picked[0].move, parse(played, "h1h5"));
    EXPECT_FALSE(picked[0].late);
    EXPECT_EQ(picked[1].move, parse(played, "c2d3"));
    EXPECT_TRUE(picked[1].late);
}

TEST(MoveGenerator, PromotionsAndWinningCapturesPrecedeQuietMoves) {
    // b8=Q, then Nxd5; the losing Qxd5 (defended by e6) falls among the quiet moves.
    const Position pos = fromFen("4k3/1P3p2/4p3/3r4/8/2N5/8/4K2Q w - - 0 1");
    Picker p;
    const std::vector<Picked> picked = p.run(pos);
    ASSERT_GE(picked.size(), 3u);
    EXPECT_EQ(picked[0].move, parse(pos, "b7b8q"));
    EXPECT_EQ(picked[1].move, parse(pos, "c3d5"));
    for (std::size_t i = 2; i < picked.size(); ++i) EXPECT_LT(picked[i].score, 0x40000000) << i;
    const Move underPromotion = parse(pos, "b7b8n");
    const auto at = std::find_if(picked.begin(), picked.end(), [&](const Picked& x) { return x.move == underPromotion; });
    ASSERT_NE(at, picked.end());
    EXPECT_LT(at->score, 0x1000000);
}

TEST(MoveGenerator, KillersThenHistoryOrderTheQuietMoves) {
    const Position pos = fromFen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
    Picker p;
    const Move a3 = parse(pos, "a2a3"), h3 = parse(pos, "h2h3"), b3 = parse(pos, "b2b3");
    p.killers = KillerGroup{a3, 40, h3, 30};
    std::vector<Picked> picked = p.run(pos);
    EXPECT_EQ(picked[0].move, a3);
    EXPECT_EQ(picked[1].move, h3);

    p.killers = KillerGroup{h3, 40, a3, 30};
    p.history.update(b3, 1);  // one history step, 0x10000 >> 0 << 8, outweighs a killer
    picked = p.run(pos);
    EXPECT_EQ(picked[0].move, b3);
    EXPECT_EQ(picked[1].move, h3);
    EXPECT_EQ(picked[2].move, a3);

    // A busy best move is passed over for the next one, which is then marked busy.
    BusyMoveSet busy;
    busy.testAndSet(BusyMoveSet::indexOf(b3, pos.key));
    p.gen.init(p.buffer, pos, p.history, false, false, p.killers, &busy, NO_MOVE);
    EXPECT_EQ(p.gen.next()->move, h3);
    EXPECT_TRUE(busy.testAndSet(BusyMoveSet::indexOf(h3, pos.key)));
}

}  // namespace
}  // namespace zelmora
