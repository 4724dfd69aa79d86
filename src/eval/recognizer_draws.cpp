#include "eval/recognizer_kinds.h"

namespace zelmora::endgame {

bool DeadDraw::evaluate(const Position&, int& value) const {
    value = 0;
    return true;
}

bool DeadDraw::evaluateQuiet(const Position&, int& value) const {
    value = 0;
    return true;
}

bool DeadDraw::bound(const Position&, int& value, int, int, int depth, int& depthAdjust) const {
    value = 0;
    depthAdjust = -depth;
    return true;
}

bool TwoKnights::evaluate(const Position&, int& value) const {
    value = 0;
    return true;
}

bool TwoKnights::evaluateQuiet(const Position&, int& value) const {
    value = 0;
    return true;
}

// Only a blunder loses here, and a shallow search finds those.
bool TwoKnights::bound(const Position&, int& value, int, int, int depth, int& depthAdjust) const {
    value = 0;
    if (depth > 8) depthAdjust = 8 - depth;
    return false;
}

bool EqualPieces::evaluate(const Position&, int& value) const {
    value = 0;
    return true;
}

bool EqualPieces::evaluateQuiet(const Position& pos, int& value) const {
    if (unclear(pos)) return false;
    value = 0;
    return true;
}

bool EqualPieces::bound(const Position& pos, int& value, int, int, int depth, int& depthAdjust) const {
    value = 0;
    if (!unclear(pos)) return true;
    // Tactics may still decide it: drop the fraction above two plies, and a ply from deeper searches.
    if (depth >= 24) depthAdjust = -8;
    else if (depth >= 17) depthAdjust = -(depth % 8);
    return false;
}

}  // namespace zelmora::endgame
