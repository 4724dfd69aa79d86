#include "eval/recognizer_kinds.h"

namespace zelmora::endgame {

namespace {

constexpr int sign(Colour c) { return c == WHITE ? 1 : -1; }

bool oppositeBishops(const Position& pos) {
    const Bitboard w = pos.side(WHITE).pieces[BISHOP], b = pos.side(BLACK).pieces[BISHOP];
    return ((w & LIGHT_SQUARES) && (b & DARK_SQUARES)) || ((w & DARK_SQUARES) && (b & LIGHT_SQUARES));
}

// A single pawn against opposite bishops is lost for good once the defender's bishop covers a
// square of its path, or the defender's king stands in its path on a square the other bishop
// can never attack; in both cases only with the defending bishop safe and no check in the air.
bool singlePawnHeld(const Position& pos, int& whiteValue) {
    if (pos.side(WHITE).count[PAWN] + pos.side(BLACK).count[PAWN] != 1 || !oppositeBishops(pos)) return false;
    const Colour owner = pos.side(WHITE).count[PAWN] ? WHITE : BLACK;
    const SideRecord& defender = pos.side(~owner);
    const Square bishop = defender.squareList[BISHOP][0];
    const Square pawn = pos.side(owner).squareList[PAWN][0];
    const Bitboard path = pawnPath(owner, pawn);
    if (hangingPieces(pos, ~owner)) return false;
    // The pawn's step must not uncover a check that gives it the tempo it needs.
    const Square attacker = pos.side(owner).squareList[BISHOP][0];
    if (bishopAttacks(attacker, pos.occupied() ^ bit(pawn)) & bit(defender.king())) return false;
    const bool bishopHolds = (bishopAttacks(bishop, pos.occupied()) & path) != 0;
    const bool kingBlocks = (bit(defender.king()) & path & squaresOfColour(bishop)) != 0;
    if (!bishopHolds && !kingBlocks) return false;
    whiteValue = sign(owner);
    return true;
}

bool safeFromChecks(const Position& pos, Colour c) {
    const SideRecord& own = pos.side(c);
    const SideRecord& enemy = pos.side(~c);
    const Square king = own.king();
    if (own.attackedByEnemy & bit(king)) return false;
    // enemy.attackedByEnemy holds the squares c attacks: checks there lose the queen.
    const Bitboard checks = queenAttacks(king, pos.occupied()) & ~enemy.pieces[ALL_PIECES] & ~enemy.attackedByEnemy;
    for (int i = 0; i < enemy.count[QUEEN]; ++i)
        if (queenAttacks(enemy.squareList[QUEEN][i], pos.occupied()) & checks) return false;
    return true;
}

}  // namespace

bool BishopVsBishop::evaluate(const Position& pos, int& value) const { return singlePawnHeld(pos, value); }

bool BishopVsBishop::evaluateQuiet(const Position& pos, int& value) const {
    int v = 0;
    if (!singlePawnHeld(pos, v)) return false;
    value = moverView(pos, v);
    return true;
}

bool BishopVsBishop::bound(const Position& pos, int& value, int, int, int, int&) const {
    return evaluateQuiet(pos, value);
}

int BishopVsBishop::scale(const Position& pos, const Evaluator&, int value) const {
    if (!oppositeBishops(pos)) return value;
    int v = value / OPPOSITE_BISHOPS_DIVISOR;
    if (v > OPPOSITE_BISHOPS_KNEE)
        v = OPPOSITE_BISHOPS_KNEE + (v - OPPOSITE_BISHOPS_KNEE) / OPPOSITE_BISHOPS_DIVISOR;
    else if (v < -OPPOSITE_BISHOPS_KNEE)
        v = -OPPOSITE_BISHOPS_KNEE + (v + OPPOSITE_BISHOPS_KNEE) / OPPOSITE_BISHOPS_DIVISOR;
    // Pawns on their own bishop's colour are out of reach of the enemy bishop.
    for (int c = WHITE; c <= BLACK; ++c) {
        const SideRecord& s = pos.side(c);
        const int outOfReach = popCount(s.pieces[PAWN] & squaresOfColour(s.squareList[BISHOP][0]));
        v += sign(Colour(c)) * PAWN_ON_OWN_BISHOP_COLOUR * outOfReach;
    }
    return v;
}

// A knight on the rim does little; one two files and two ranks from the enemy king takes two of
// its squares while the king needs two moves to chase it.
int KnightVsKnight::scale(const Position& pos, const Evaluator&, int value) const {
    for (int c = WHITE; c <= BLACK; ++c) {
        const Square knight = pos.side(c).squareList[KNIGHT][0];
        const Square enemyKing = pos.side(c ^ 1).king();
        if (fileOf(knight) == A_FILE || fileOf(knight) == H_FILE) value -= sign(Colour(c)) * KNIGHT_ON_RIM;
        if (absolute(fileOf(knight) - fileOf(enemyKing)) == 2 && absolute(rowOf(knight) - rowOf(enemyKing)) == 2)
            value += sign(Colour(c)) * KNIGHT_HARASSES_KING;
    }
    return value;
}

// The bishop is better with play on both wings and worse when its own pawns and the enemy
// pawns' guard leave it few squares.
int BishopVsKnight::scale(const Position& pos, const Evaluator&, int value) const {
    constexpr Bitboard QUEEN_WING = FILE_A | (FILE_A << 1) | (FILE_A << 2);
    constexpr Bitboard KING_WING = FILE_H | (FILE_H >> 1) | (FILE_H >> 2);
    const Colour c = pos.side(WHITE).count[BISHOP] ? WHITE : BLACK;
    const SideRecord& own = pos.side(c);
    const Bitboard pawns = pos.side(WHITE).pieces[PAWN] | pos.side(BLACK).pieces[PAWN];
    int bonus = 0;
    if ((pawns & QUEEN_WING) && (pawns & KING_WING)) bonus += BISHOP_PAWNS_ON_BOTH_WINGS;
    const Bitboard reach = bishopAttacks(own.squareList[BISHOP][0], pos.occupied());
    const int mobility = popCount(reach & ~own.pieces[ALL_PIECES] & ~own.attackedByEnemyPawns);
    if (mobility < BISHOP_NEEDS_SQUARES) bonus -= BISHOP_SHORT_OF_SQUARES * (BISHOP_NEEDS_SQUARES - mobility);
    return value + sign(c) * bonus;
}

// The side ahead wins only with a king sheltered from perpetual check.
int QueenVsQueen::scale(const Position& pos, const Evaluator&, int value) const {
    const int white = pos.side(WHITE).materialSum, black = pos.side(BLACK).materialSum;
    if (white != black) {
        const Colour stronger = white > black ? WHITE : BLACK;
        value += sign(stronger) * (safeFromChecks(pos, stronger) ? QUEEN_ENDING_KING_SAFE : -QUEEN_ENDING_KING_SAFE);
    }
    const int centring = rookStepsToCentre(pos.side(BLACK).king()) - rookStepsToCentre(pos.side(WHITE).king());
    return value + QUEEN_ENDING_KING_CENTRE * centring;
}

// Without pawns a side needs more than a minor piece of extra material to win.
int OneSidePawns::scale(const Position& pos, const Evaluator&, int value) const {
    const Colour pawnless = pos.side(WHITE).count[PAWN] ? BLACK : WHITE;
    const SideRecord& p = pos.side(pawnless);
    const SideRecord& o = pos.side(~pawnless);
    const int lead = p.materialSum - (o.materialSum - PIECE_VALUE[PAWN] * o.count[PAWN]);
    if (lead <= 0 || lead >= ONE_SIDE_PAWNS_WINNING_LEAD) return value;
    const int m = pos.side(WHITE).materialSum - pos.side(BLACK).materialSum;
    const int scaled = value - ONE_SIDE_PAWNS_GIVE_BACK_NUMERATOR * m / ONE_SIDE_PAWNS_GIVE_BACK_DENOMINATOR;
    const int pawnSide = -sign(pawnless);  // the sign of values that favour the side with pawns
    if (value * pawnSide >= 0 && scaled * pawnSide < 0) return 0;
    return scaled;
}

}  // namespace zelmora::endgame
