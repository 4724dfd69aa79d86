#include "board/kpk.h"

#include <cstdint>

#include "board/attacks.h"

namespace zelmora {

namespace {

constexpr int PAWN_SQUARES = 24;
constexpr int SIDE_STRIDE = 4096;
constexpr int PAWN_STRIDE = 8192;
constexpr int UNKNOWN = 0;

std::int8_t kpkTable[PAWN_SQUARES * PAWN_STRIDE];
int kpkPawnIndex[64];  // base index of a pawn square, -1 outside files a..d, ranks 2..7

int indexOf(int pawnBase, bool strongToMove, Square weakKing, Square strongKing) {
    return pawnBase + (strongToMove ? SIDE_STRIDE : 0) + weakKing * 64 + strongKing;
}

// The values both sides' entries start from, before any search.
void initialEntries(Square pawn, Square weakKing, Square strongKing, std::int8_t& weakToMove,
                    std::int8_t& strongToMove) {
    weakToMove = strongToMove = UNKNOWN;
    if (pawn == strongKing || weakKing == strongKing || (kingAttacks(weakKing) & bit(strongKing))) {
        weakToMove = strongToMove = KPK_ILLEGAL;
        return;
    }
    if (pawn == weakKing) {  // the weak king has just taken the pawn
        weakToMove = KPK_ILLEGAL;
        strongToMove = KPK_DRAW;
        return;
    }
    const Bitboard pawnAttacks = pawnAttacksFrom(WHITE, pawn);
    if (pawnAttacks & bit(weakKing)) strongToMove = KPK_ILLEGAL;
    if (!(kingAttacks(weakKing) & ~(kingAttacks(strongKing) | pawnAttacks))) weakToMove = KPK_DRAW;
    const Square front = pawn - 8;
    if (strongToMove == UNKNOWN && (front == weakKing || front == strongKing) &&
        !(kingAttacks(strongKing) & ~(kingAttacks(weakKing) | bit(pawn))))
        strongToMove = KPK_DRAW;
    if (strongToMove == UNKNOWN && rowOf(pawn) == 1 && front != weakKing && front != strongKing &&
        (!(kingAttacks(weakKing) & bit(front)) || (kingAttacks(strongKing) & bit(front))))
        strongToMove = 1;
}

// Weak side to move: a draw if any move draws, else one more than the longest defence.
int weakToMoveValue(int pawnBase, Square weakKing, Square strongKing) {
    int longest = 0;
    bool undecided = false;
    for (Bitboard moves = kingAttacks(weakKing); moves;) {
        const int v = kpkTable[indexOf(pawnBase, true, popLowestBit(moves), strongKing)];
        if (v == KPK_DRAW) return KPK_DRAW;
        if (v == UNKNOWN) undecided = true;
        else if (v < KPK_DRAW && v > longest) longest = v;
    }
    if (undecided) return UNKNOWN;
    return longest ? longest + 1 : KPK_DRAW;  // no legal move at all: nothing to win
}

// Strong side to move: the first winning move found (king moves, then pawn steps) decides.
int strongToMoveValue(int pawnBase, Square pawn, Square weakKing, Square strongKing) {
    bool undecided = false;
    auto consider = [&](int v) {
        if (v == UNKNOWN) undecided = true;
        return v > UNKNOWN && v < KPK_DRAW;
    };
    for (Bitboard moves = kingAttacks(strongKing); moves;) {
        const int v = kpkTable[indexOf(pawnBase, false, weakKing, popLowestBit(moves))];
        if (consider(v)) return v + 1;
    }
    const Square front = pawn - 8;
    if (rowOf(pawn) > 1) {  // the promotion itself was settled at the start
        const int v = kpkTable[indexOf(kpkPawnIndex[front], false, weakKing, strongKing)];
        if (consider(v)) return v + 1;
    }
    if (rowOf(pawn) == 6 && front != weakKing && front != strongKing) {
        const int v = kpkTable[indexOf(kpkPawnIndex[pawn - 16], false, weakKing, strongKing)];
        if (consider(v)) return v + 1;
    }
    return undecided ? UNKNOWN : KPK_DRAW;
}

}  // namespace

void buildKpkTable() {
    int next = 0;
    for (Square s = 0; s < 64; ++s)
        kpkPawnIndex[s] = namedSets.kpkPawnSquares & bit(s) ? PAWN_STRIDE * next++ : -1;

    for (Square pawn = 0; pawn < 64; ++pawn) {
        if (kpkPawnIndex[pawn] < 0) continue;
        for (Square weakKing = 0; weakKing < 64; ++weakKing)
            for (Square strongKing = 0; strongKing < 64; ++strongKing)
                initialEntries(pawn, weakKing, strongKing,
                               kpkTable[indexOf(kpkPawnIndex[pawn], false, weakKing, strongKing)],
                               kpkTable[indexOf(kpkPawnIndex[pawn], true, weakKing, strongKing)]);
    }

    for (bool changed = true; changed;) {
        changed = false;
        for (Square pawn = 0; pawn < 64; ++pawn) {
            const int base = kpkPawnIndex[pawn];
            if (base < 0) continue;
            for (int side = 0; side < 2; ++side)
                for (Square weakKing = 0; weakKing < 64; ++weakKing)
                    for (Square strongKing = 0; strongKing < 64; ++strongKing) {
                        std::int8_t& entry = kpkTable[indexOf(base, side == 1, weakKing, strongKing)];
                        if (entry != UNKNOWN) continue;
                        const int v = side ? strongToMoveValue(base, pawn, weakKing, strongKing)
                                           : weakToMoveValue(base, weakKing, strongKing);
                        if (v != UNKNOWN) {
                            entry = std::int8_t(v);
                            changed = true;
                        }
                    }
        }
    }
    for (std::int8_t& entry : kpkTable)
        if (entry == UNKNOWN) entry = KPK_DRAW;
}

int kpkProbe(Square strongKing, Square pawn, Square weakKing, bool strongToMove) {
    if (fileOf(pawn) > 3) {
        strongKing ^= 7;
        pawn ^= 7;
        weakKing ^= 7;
    }
    const int base = kpkPawnIndex[pawn];
    if (base < 0) return KPK_ILLEGAL;  // a pawn on the first or last rank has no entry
    const int v = kpkTable[indexOf(base, strongToMove, weakKing, strongKing)];
    return v == KPK_DRAW ? -1 : v;
}

}  // namespace zelmora
