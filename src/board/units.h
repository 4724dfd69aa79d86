#pragma once
// The units that the evaluation and the search share: scores in thousandths of a pawn from the
// side to move's view, depths in eighths of a ply.

namespace zelmora {

constexpr int MATE = 500000;           // a mate in p plies scores MATE - p
constexpr int MATE_THRESHOLD = 400000; // beyond this a score is a mate score
constexpr int ONE_PLY = 8;

}  // namespace zelmora
