#include <gtest/gtest.h>

#include "search/move_generator.h"

namespace zelmora {
namespace {

constexpr Move M1 = makeMove(52, 36, PAWN);  // e2e4
constexpr Move M2 = makeMove(62, 45, KNIGHT);
constexpr Move M3 = makeMove(61, 34, BISHOP);
constexpr Move M4 = makeMove(57, 42, KNIGHT);

struct History : testing::Test {
    HistoryTable h;
    void SetUp() override { h.reset(); }
    std::uint32_t counter(Move m) const { return h.counters[m & 0xFFF]; }
};

TEST_F(History, UpdatesGrowInStepsAndRaiseTheLimit) {
    // Plies 1, 2, 3 give budgets 1, 4, 9: one round, steps 2 and 4, steps 2, 4 and 5.
    const struct {
        int plies;
        std::uint32_t counter, limit;
        int shift;
    } cases[] = {{1, 65536, 65536, 0}, {2, 131072, 131072, 1}, {3, 196608, 262144, 2}};
    for (const auto& c : cases) {
        h.reset();
        h.update(M1, c.plies);
        EXPECT_EQ(counter(M1), c.counter) << c.plies;
        EXPECT_EQ(h.updateCount, c.plies) << c.plies;
        EXPECT_EQ(h.shift, c.shift) << c.plies;
        if (c.plies > 1) { EXPECT_EQ(h.limit, c.limit) << c.plies; }
    }
    h.update(M2, 0);  // less than a ply still counts once
    EXPECT_EQ(counter(M2), 65536u);
    EXPECT_EQ(counter(M1 | 0x1000), counter(M1));  // indexed by the low 12 bits only
}

TEST_F(History, OverflowScalesEverythingDownAndAgingNeedsTwoUpdates) {
    h.counters[M2 & 0xFFF] = 5000;
    h.counters[M1 & 0xFFF] = 0x3BFF0000;
    h.increment = 0x100000;
    h.limit = 0x40000000;
    h.shift = 14;
    h.update(M1, 0);
    EXPECT_EQ(counter(M1), 0x3C0F0000u >> 11);
    EXPECT_EQ(counter(M2), 2u);
    EXPECT_EQ(h.increment, 512u);
    EXPECT_EQ(h.limit, 0x80000u);
    EXPECT_EQ(h.shift, 3);
    h.counters[M1 & 0xFFF] = 0x3BFFFFFF;
    h.increment = 0x10000;
    h.update(M1, 0);
    EXPECT_EQ(h.increment, 256u);  // never below 256

    h.reset();
    h.update(M1, 1);
    h.age();
    EXPECT_EQ(h.increment, 65536u);
    h.update(M2, 1);
    h.age();
    EXPECT_EQ(h.increment, 65536u + 4096u);
    EXPECT_EQ(h.updateCount, 0);
}

TEST(Killers, NewMovesShiftInUntilBothSlotsHoldScores) {
    KillerSlots k, up;
    k.group[0] = KillerGroup{M4, 7, M4, 7};
    k.reset();
    up.reset();
    KillerGroup& g = k.group[0];
    auto expect = [&](Move k1, int s1, Move k2, int s2) {
        EXPECT_EQ(g.killer1, k1);
        EXPECT_EQ(g.score1, s1);
        EXPECT_EQ(g.killer2, k2);
        EXPECT_EQ(g.score2, s2);
    };
    updateKillers(g, up.group[0], M1, 16, false, false);
    expect(M1, 48, NO_MOVE, 16);  // -9999 + 16 + 9999
    updateKillers(g, up.group[0], M2, 8, false, false);  // competes for slot 2: 24 > 16
    expect(M1, 48, M2, 24);
    updateKillers(g, up.group[0], M3, 8, false, false);  // 24 is not more than 24
    expect(M1, 48, M2, 24);
    updateKillers(g, up.group[0], M3, 8, true, true);  // 5 * 8 + 184
    expect(M1, 48, M3, 224);
    updateKillers(g, up.group[0], M3, 8, false, false);  // the second killer moves up
    expect(M3, 24, M1, 224 + 8 - 48);
    updateKillers(g, up.group[0], M3, 40, false, false);  // already first: untouched
    expect(M3, 24, M1, 224 + 8 - 48);

    // A killer of two plies up is not stored again.
    KillerGroup grand{M2, 50, M4, 40}, fresh{NO_MOVE, -9999, NO_MOVE, -9999};
    updateKillers(fresh, grand, M2, 16, false, false);
    updateKillers(fresh, grand, M4, 16, false, false);
    EXPECT_EQ(fresh.killer1, NO_MOVE);
    EXPECT_EQ(fresh.score1, -9999);
    updateKillers(fresh, grand, M1, 16, false, false);
    EXPECT_EQ(fresh.killer1, M1);
}

}  // namespace
}  // namespace zelmora
