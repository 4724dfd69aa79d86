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
    if (depth > TWO_KNIGHTS_DEPTH_LIMIT) depthAdjust = TWO_KNIGHTS_DEPTH_LIMIT - depth;
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
    if (depth >= EQUAL_PIECES_CUT_DEPTH) depthAdjust = -ONE_PLY;
    else if (depth >= EQUAL_PIECES_TRIM_DEPTH) depthAdjust = -(depth % ONE_PLY);
    return false;
}

}  // namespace zelmora::endgame
