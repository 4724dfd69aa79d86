#include "uci/score_text.h"

#include <cstdio>

#include "search/score.h"

namespace zelmora {

int formatScore(char* buffer, std::size_t size, int score, int alpha, int beta) {
    const char* kind = "cp";
    int value = 0;
    if (score > MATE_THRESHOLD) {
        kind = "mate";
        value = (WINDOW_END - score) / 2;
    } else if (score < -MATE_THRESHOLD) {
        kind = "mate";
        value = (-WINDOW_END - score) / 2;
    } else if (score > 1) {
        value = (score + 9) / 10;
    } else if (score < -1) {
        value = (score - 9) / 10;
    }
    const char* bound = score >= beta ? " lowerbound" : score <= alpha ? " upperbound" : "";
    return std::snprintf(buffer, size, " score %s %d%s", kind, value, bound);
}

}  // namespace zelmora
