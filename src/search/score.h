#pragma once
// Score scale: thousandths of a pawn from the side to move's view.

namespace zelmora {

constexpr int MATE = 500000;           // a mate in p plies scores MATE - p
constexpr int MATE_THRESHOLD = 400000; // beyond this a score is a mate score
constexpr int WINDOW_END = 500001;     // the open ends of the search window

}  // namespace zelmora
