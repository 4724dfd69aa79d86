#include "search/move_generator.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <utility>

#include "search/transposition_table.h"
#include "util/insertion_sort.h"

namespace zelmora {

namespace {

// Ascending, so that the best move is taken from the end; equal scores keep generation order.
void sortByScore(MoveEntry* begin, MoveEntry* end) {
    insertionSort(begin, end, [](const MoveEntry& a, const MoveEntry& b) { return a.score < b.score; });
}


// Ordering values by piece type: V weighs victim and attacker, W breaks ties between captures
// that risk nothing.
constexpr std::int32_t V[PIECE_TYPE_COUNT] = {0, 0x4000000, 0xC000000, 0xC000000, 0x14000000, 0x24000000, 0};
constexpr std::int32_t W[PIECE_TYPE_COUNT] = {0, 0x300000, 0x3200000, 0x3200000, 0x3400000, 0x3800000, 0};

constexpr std::int32_t GOOD_MOVE_BIT = 0x40000000;
constexpr std::int32_t QUEEN_PROMOTION_BONUS = 0x20000000;
constexpr std::int32_t KILLER1_BONUS = 0x380000;
constexpr std::int32_t KILLER2_BONUS = 0x300000;
constexpr std::int32_t CHECK_BONUS = 0x1000000;

// Destination preference per piece, White's view (a8 = 0); Black reads it mirrored.
constexpr std::uint8_t DESTINATION_PREFERENCE[PIECE_TYPE_COUNT][64] = {
    {},
    {  // pawn
          8,   6,  18,  12,  24,   8,  10,  12,
        110, 140, 130,  72, 112, 116, 108, 152,
         44,  24,  32,  20,  20,  40,  28,  50,
         24,  28,  22,  24,  30,  26,  20,  36,
          8,  12,  16,  34,  30,  14,   4,   6,
          4,  20,  18,  18,  28,  18,  16,   8,
          0,   0,   0,   0,   0,   0,   0,   0,
          0,   0,   0,   0,   0,   0,   0,   0,
    },
    {  // knight
          6,   2,  34,  14,  16,   8,   4,   6,
         16,  14,  20,  28,  28,  10,   2,  10,
         22,  14,  32,  32,  28,  32,   6,  34,
          6,  28,  18,  34,  32,  22,  24,   8,
          6,  14,  18,  14,  16,  14,  12,   6,
         10,  38,  42,  34,  38,  38,  44,   4,
          2,   4,   8,  14,   8,  14,   4,   0,
          0,   2,   4,   2,   2,   2,   0,   0,
    },
    {  // bishop
          0,   6,  10,   2,   6,   2,   4,   0,
          4,  10,   6,  22,   8,   6,   0,   4,
          8,   2,  24,   6,  22,   2,   2,   8,
         18,  22,  24,  20,  10,  16,  18,  12,
         20,  18,  28,  18,  24,  14,  30,  18,
         22,  22,  22,  24,  20,  20,  46,  20,
         14,  18,  10,  22,  24,  30,  16,  12,
          2,   2,  16,   6,   2,  12,   2,   4,
    },
    {  // rook
         24,  20,  22,  22,  20,  12,  20,  18,
         28,  26,  22,  36,  24,  26,  22,  22,
         20,  16,  22,  16,  28,  22,  22,  16,
         26,  18,  12,  14,  18,  24,  16,  18,
         22,   6,  10,  14,  16,  14,  16,  26,
         20,  12,  12,  10,  18,  12,  18,  10,
         20,   6,   8,  10,  12,   6,   6,   6,
         14,   4,  18,  16,   8,  10,   4,  10,
    },
    {  // queen
         16,  30,  32,  24,  22,   8,  22,  28,
         12,   8,   8,  14,  10,  32,   6,  24,
          6,   2,  12,   8,  12,  24,   4,  12,
         14,  24,  16,  28,  14,  34,  18,  20,
         18,  18,  12,  14,  12,  10,  12,  10,
         26,  32,  16,  24,  16,  24,  12,  10,
         14,  12,  14,  12,  22,  18,  12,   2,
          4,   4,   6,   8,   8,  10,  14,   2,
    },
    {  // king
          0,   0,   2,   8,  18,   8,  10,   0,
          2,  26,  12,  12,  52,  34,  32,  16,
         24,  16,  16,  14,  26,  22,  64,  32,
         10,  26,  30,  36,  44,  34,  42,  28,
          8,  34,  32,  38,  48,  38,  32,  18,
         14,  22,  24,  32,  32,  34,  28,   8,
         36,  22,  16,  12,  18,  20,  22,   8,
          2,  10,   8,   6,   8,   6,  10,   2,
    },
};

}  // namespace

int MoveGenerator::init(MoveEntry* buffer, const Position& pos, HistoryTable& history, bool quiescence,
                        bool quiescenceChecks, const KillerGroup& killers, BusyMoveSet* busy, Move hash) {
    const int n = generateMoves(pos, buffer, quiescence, quiescenceChecks);
    stage_ = 0;
    begin_ = cursor_ = buffer;
    end_ = fullEnd_ = buffer + n;
    pos_ = &pos;
    history_ = &history;
    busy_ = busy;
    keyLow_ = std::uint32_t(pos.key());
    killer1_ = killers.killer1;
    killer2_ = killers.killer2;
    epSquare_ = pos.epSquare();
    hashMove = hash;

    // The piece just moved is recaptured first if it is a rook or queen or we attack it at most
    // once; against a doubly attacked minor piece the scored captures order the exchange.
    target_ = NO_SQUARE;
    const SideRecord& them = pos.them();
    if (hash == NO_MOVE) {
        const Bitboard moved = pos.lastMoveSquares() & them.pieces[ALL_PIECES];
        if (moved) {
            const Square s = lowestBit(moved);
            if (((them.pieces[ROOK] | them.pieces[QUEEN]) & bit(s)) || !(them.attackedTwiceByEnemy & bit(s)))
                target_ = s;
        }
    }
    return n;
}

void MoveGenerator::rewind() {
    stage_ = 0;
    cursor_ = begin_;
    end_ = fullEnd_;
}

// Swaps the record behind the active range and hands it out.
MoveEntry* MoveGenerator::take(MoveEntry* record) {
    --end_;
    std::swap(*record, *end_);
    return end_;
}

MoveEntry* MoveGenerator::next() {
    switch (stage_) {
        case 0:
            stage_ = 1;
            if (hashMove != NO_MOVE) {
                for (MoveEntry* e = begin_; e != end_; ++e) {
                    if (e->move == hashMove) {
                        stage_ = 3;
                        return take(e);
                    }
                }
            }
            [[fallthrough]];
        case 1:
            stage_ = 2;
            [[fallthrough]];
        case 2:
            if (target_ != NO_SQUARE || epSquare_ != NO_SQUARE) {
                for (; cursor_ != end_; ++cursor_) {
                    const Square to = moveTo(cursor_->move);
                    if (to == target_ || (to == epSquare_ && movePiece(cursor_->move) == PAWN)) return take(cursor_);
                }
            }
            stage_ = 3;
            cursor_ = begin_;
            [[fallthrough]];
        case 3:
            scoreAll();
            sortByScore(begin_, end_);
            stage_ = 4;
            [[fallthrough]];
        default:
            break;
    }
    if (end_ == begin_) return nullptr;
    MoveEntry* chosen = end_ - 1;
    if (busy_) {
        // The best move that no other thread is searching right now; all busy: the best anyway.
        for (MoveEntry* e = end_; e != begin_;) {
            --e;
            if (!busy_->testAndSet(BusyMoveSet::indexOf(e->move, keyLow_))) {
                chosen = e;
                break;
            }
        }
    }
    return take(chosen);
}

void MoveGenerator::scoreAll() {
    const Position& pos = *pos_;
    const SideRecord& us = pos.us();
    const SideRecord& them = pos.them();
    const Bitboard enemyAttacks = us.attackedByEnemy;
    const Bitboard ourAttacks = them.attackedByEnemy;
    const Bitboard ourDoubleAttacks = them.attackedTwiceByEnemy;
    const int mirror = pos.whiteToMove() ? 0 : 56;

    // Squares from which each piece type would check the enemy king; never for our king.
    const Square king = them.king();
    const Bitboard diagonal = bishopAttacks(king, pos.occupied()), straight = rookAttacks(king, pos.occupied());
    const Bitboard checkSquares[PIECE_TYPE_COUNT] = {
        0, pawnAttacksFrom(~pos.sideToMove(), king), knightAttacks(king), diagonal, straight,
        diagonal | straight, 0};
    const Bitboard unsafeForCheck = enemyAttacks | ourDoubleAttacks;

    for (MoveEntry* e = begin_; e != end_; ++e) {
        const Move m = e->move;
        const int p = movePiece(m);
        const Square from = moveFrom(m), to = moveTo(m);
        const Bitboard target = bit(to);

        std::int32_t score = DESTINATION_PREFERENCE[p][to ^ mirror] + std::int32_t((history_->counters[m & 0xFFF] >> history_->shift) << 8);
        if (movePromotion(m) == QUEEN) {
            score += QUEEN_PROMOTION_BONUS;
            score |= GOOD_MOVE_BIT;
        }
        if (m == killer1_) score += KILLER1_BONUS;
        if (m == killer2_) score += KILLER2_BONUS;
        if ((checkSquares[p] & target) && !(unsafeForCheck & target)) score += CHECK_BONUS;

        if (them.pieces[ALL_PIECES] & target) {
            const int victim = pos.pieceOn(~pos.sideToMove(), to);
            std::int32_t gain;
            if (enemyAttacks & target)
                gain = V[victim] - V[p];
            else if (enemyAttacks & bit(from))
                gain = V[victim];
            else
                gain = V[victim] - W[p];
            if (gain >= 0) {
                // A pawn taking a queen as it promotes would run past 31 bits; it stays on top.
                score = std::int32_t(std::min<std::int64_t>(std::int64_t(score) + gain,
                                                            std::numeric_limits<std::int32_t>::max()));
                score |= GOOD_MOVE_BIT;
            }
        } else {
            if ((enemyAttacks & bit(from)) && !(ourAttacks & bit(from)) && !(enemyAttacks & target))
                score += V[p] / 128;
            if ((enemyAttacks & target) && !(ourDoubleAttacks & target)) score -= V[p] / 128;
        }
        e->score = score;
    }
}

}  // namespace zelmora
