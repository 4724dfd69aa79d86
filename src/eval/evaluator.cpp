#include "eval/evaluator.h"

#include "eval/eval_weights.h"
#include "eval/eval_terms.h"

namespace zelmora {

namespace {

using namespace weights;

// What the stronger side gains from the weak king's exposure, in the stronger side's view.
int pawnlessBonus(Square weakKing, Square strongKing) {
    const int rookStepsApart = rookSteps(weakKing, strongKing), kingStepsApart = kingSteps(weakKing, strongKing);
    return PAWNLESS_KING_OFF_CENTRE * (kingStepsToCentre(weakKing) - PAWNLESS_KINGS_APART_SHARE * rookStepsApart) +
           PAWNLESS_KING_OFF_CENTRE_ROOK * rookStepsToCentre(weakKing) - PAWNLESS_KINGS_APART * kingStepsApart;
}

// White's view, m being the material term. With equal material each side's bonus is taken in
// its own view, so that the two colours stay mirror images.
int pawnlessScore(const Position& pos, int m) {
    const SideRecord& white = pos.side(WHITE);
    const SideRecord& black = pos.side(BLACK);
    if (white.materialSum > black.materialSum) return m + pawnlessBonus(black.king(), white.king());
    if (black.materialSum > white.materialSum) return m - pawnlessBonus(white.king(), black.king());
    return (pawnlessBonus(black.king(), white.king()) - pawnlessBonus(white.king(), black.king())) /
           PAWNLESS_BALANCED_DIVISOR;
}

// Side to move with king and pawns only, not in check, and a king without a square to go to:
// every neighbour is attacked or holds one of its own pawns.
bool kingBoxedIn(const Position& pos) {
    const SideRecord& mover = pos.us();
    if (mover.count[ALL_PIECES] != mover.count[PAWN] + 1 || pos.inCheck()) return false;
    return (kingAttacks(mover.king()) & ~(mover.attackedByEnemy | mover.pieces[ALL_PIECES])) == 0;
}

bool pawnCanMove(const Position& pos) {
    const SideRecord& mover = pos.us();
    const Bitboard pawns = mover.pieces[PAWN];
    const Colour c = pos.sideToMove();
    const Bitboard pushes = c == WHITE ? north(pawns) : south(pawns);
    return (pushes & ~pos.occupied()) != 0 || (pawnAttacks(pawns, c) & pos.them().pieces[ALL_PIECES]) != 0;
}

int towardZero(int v) { return v > 0 ? v - 1 : v < 0 ? v + 1 : 0; }
int awayFromZero(int v) { return v > 0 ? v + 1 : v < 0 ? v - 1 : 0; }

}  // namespace

Evaluator::Evaluator() : material(registry), pawnEntry_(&PawnTable::EMPTY) {}

int Evaluator::evaluate(const Position& pos) {
    pawns.prefetch(pos);
    int m = material.score(pos);
    const EndgameRecognizer* recognizer = material.currentRecognizer();
    const int total = pos.side(WHITE).materialSum + pos.side(BLACK).materialSum;

    if (total < ENDGAME_MATERIAL) {
        if (kingBoxedIn(pos)) {
            m += pos.whiteToMove() ? -BOXED_KING : BOXED_KING;
            if (!pawnCanMove(pos)) return 0;
        }
        if (recognizer->evaluate(pos, m)) return pos.whiteToMove() ? m : -m;
        if ((pos.side(WHITE).pieces[PAWN] | pos.side(BLACK).pieces[PAWN]) == 0) {
            const int r = pawnlessScore(pos, m);
            return pos.whiteToMove() ? r + PAWNLESS_TEMPO : PAWNLESS_TEMPO - r;
        }
    }

    PhaseScore s{m, m};
    addMobilityAndSpace(pos, s);
    pawnEntry_ = &pawns.probe(pos);
    s.mg += pawnEntry_->middlegame;
    s.eg += pawnEntry_->endgame;
    s.mg += pos.whiteToMove() ? TEMPO_MG : -TEMPO_MG;
    s.eg += pos.whiteToMove() ? TEMPO_EG : -TEMPO_EG;

    const int phase = (total - ENDGAME_MATERIAL) * FULL_PHASE / PHASE_RANGE;
    addPieceTerms(pos, *pawnEntry_, phase > 0, phase < FULL_PHASE, s);
    int t;
    if (phase <= 0) t = s.eg + endgameKingTerm(pos, *pawnEntry_);
    else if (phase >= FULL_PHASE) t = s.mg + middlegameKingTerm(pos);
    else
        t = ((FULL_PHASE - phase) * (s.eg + endgameKingTerm(pos, *pawnEntry_)) +
             phase * (s.mg + middlegameKingTerm(pos))) /
            FULL_PHASE;

    // Most positions have no endgame knowledge, whose correction leaves the value as it is.
    const int v = recognizer == registry.defaultRecognizer() ? t : recognizer->scale(pos, *this, t);
    return awayFromZero(pos.whiteToMove() ? v : -v);
}

int Evaluator::evaluateForBook(const Position& pos) {
    const int e = evaluate(pos);
    const int m = material.currentScore();
    return towardZero(e) - (pos.whiteToMove() ? m : -m);
}

void Evaluator::clearCaches() {
    material.clear();
    pawns.clear();
}

}  // namespace zelmora
