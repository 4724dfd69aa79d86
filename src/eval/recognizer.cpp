#include "eval/recognizer.h"

namespace zelmora {

bool EndgameRecognizer::evaluate(const Position&, int&) const { return false; }
bool EndgameRecognizer::evaluateQuiet(const Position&, int&) const { return false; }
bool EndgameRecognizer::bound(const Position&, int&, int, int, int, int&) const { return false; }
int EndgameRecognizer::scale(const Position&, const Evaluator&, int value) const { return value; }

// Placeholder until the recognizer kinds land: no special knowledge anywhere.
RecognizerRegistry::RecognizerRegistry() = default;
const EndgameRecognizer* RecognizerRegistry::select(const Position&) const { return &default_; }

}  // namespace zelmora
