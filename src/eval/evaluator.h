#pragma once
// The static evaluation of one search thread, with its material cache, pawn table and
// recognizers. Scores are in thousandths of a pawn.

#include "eval/material_score.h"
#include "eval/pawn_table.h"
#include "eval/recognizer.h"

namespace zelmora {

class Evaluator {
public:
    Evaluator();
    Evaluator(const Evaluator&) = delete;
    Evaluator& operator=(const Evaluator&) = delete;

    // The full static evaluation from the side to move's view; needs fresh attack sets.
    int evaluate(const Position& pos);
    // The positional part: the evaluation moved one unit toward zero minus the material term,
    // both from the side to move's view.
    int evaluateForBook(const Position& pos);

    // The recognizer of the material of the last evaluation.
    const EndgameRecognizer* recognizer() const { return material.currentRecognizer(); }
    // The pawn entry of the last evaluation that reached the pawn terms.
    const PawnEntry& pawnEntry() const { return *pawnEntry_; }

    void clearCaches();

    RecognizerRegistry registry;  // before the material evaluator, which keeps a reference
    MaterialEvaluator material;
    PawnTable pawns;

private:
    const PawnEntry* pawnEntry_;
};

}  // namespace zelmora
