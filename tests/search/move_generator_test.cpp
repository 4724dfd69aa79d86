#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "search/move_generator.h"
#include "search_test_helpers.h"

namespace zelmora::test {
namespace {

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

TEST(MoveGenerator, HandsOutEveryMoveOnceInEveryMode) {
    const Move foreign = makeMove(0, 63, QUEEN);
    BusyMoveSet allBusy;
    for (unsigned k = 0; k < BusyMoveSet::SIZE; ++k) allBusy.testAndSet(k);
    std::mt19937 rng(7);
    int checked = 0;

    for (const std::string& fen : test::randomWalkPositions(2024, 24, 60)) {
        const Position pos = fromFen(fen);
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

}  // namespace
}  // namespace zelmora::test
