#include "eval/evaluator.h"

namespace zelmora {

// Placeholder until the static evaluation lands: material only.
Evaluator::Evaluator() : material(registry), pawnEntry_(nullptr) {}

int Evaluator::evaluate(const Position& pos) {
    pawnEntry_ = &pawns.probe(pos);
    const int m = material.score(pos);
    return pos.whiteToMove ? m : -m;
}

int Evaluator::evaluateForBook(const Position& pos) { return evaluate(pos); }

void Evaluator::clearCaches() {
    material.clear();
    pawns.clear();
}

}  // namespace zelmora
