#include "neural/material_score.h"

#include "eval/recognizer.h"

namespace zelmora {

// Placeholder until the network-based material term lands.
MaterialEvaluator::MaterialEvaluator(const RecognizerRegistry& registry)
    : registry_(registry), currentRecognizer_(registry.defaultRecognizer()) {}
bool MaterialEvaluator::loadNetwork(const char*) { return false; }
void MaterialEvaluator::setNeuroMaterial(int percent) { neuroMaterial_ = percent; }
void MaterialEvaluator::setNeuroWidth(int width) { neuroWidth_ = width; }
void MaterialEvaluator::clear() {}
int MaterialEvaluator::score(const Position& pos, bool delta) {
    const int value = pos.side[WHITE].materialSum - pos.side[BLACK].materialSum;
    if (delta) return value - currentScore_;
    currentScore_ = value;
    currentRecognizer_ = registry_.select(pos);
    return value;
}
double MaterialEvaluator::materialNet(const int*, const int*, int) { return 0.5; }

}  // namespace zelmora
