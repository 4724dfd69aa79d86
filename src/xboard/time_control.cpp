#include "xboard/time_control.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace zelmora {

double clampClock(double milliseconds) {
    if (!(milliseconds == milliseconds)) return 0.0;  // NaN
    return std::clamp(milliseconds, -MAX_CLOCK_MS, MAX_CLOCK_MS);
}

namespace {

// "5" or "2:30" (or "0.5" minutes) into milliseconds; a field that is no number counts as 0.
double baseMilliseconds(const char* field) {
    if (std::strchr(field, ':') != nullptr) {
        long minutes = 0, seconds = 0;
        if (std::sscanf(field, "%ld:%ld", &minutes, &seconds) < 1) return 0.0;
        return (static_cast<double>(minutes) * 60.0 + static_cast<double>(seconds)) * 1000.0;
    }
    double minutes = 0.0;
    if (std::sscanf(field, "%lf", &minutes) != 1) return 0.0;
    return minutes * 60000.0;
}

}  // namespace

void TimeControl::reset() {
    periods_[0] = {0, DEFAULT_BASE_MS, 0.0};
    for (int i = 1; i < PERIODS; ++i) periods_[i] = {-1, 0.0, 0.0};
}

bool TimeControl::parseLevel(const char* text) {
    int moves[PERIODS] = {};
    char base[PERIODS][21] = {};
    double increment[PERIODS] = {};
    const int fields = std::sscanf(text, "%d %20s %lf %d %20s %lf %d %20s %lf", &moves[0], base[0], &increment[0],
                                   &moves[1], base[1], &increment[1], &moves[2], base[2], &increment[2]);
    if (fields <= 0 || fields % 3 != 0) return false;
    for (int i = 0; i < PERIODS; ++i) {
        if (i < fields / 3) {
            periods_[i] = {moves[i], clampClock(baseMilliseconds(base[i])), clampClock(increment[i] * 1000.0)};
        } else {
            periods_[i] = {-1, 0.0, 0.0};
        }
    }
    return true;
}

TimeControl::Lookup TimeControl::lookUp(int halfMoves) const {
    int k = halfMoves / 2;
    for (int i = 0;; ++i) {
        const int moves = periods_[i].moves;
        // A negative count can only come from a bad "level": it is read as the rest of the game.
        if (moves <= 0) return {i, 0, i};
        const bool repeats = i == PERIODS - 1 || periods_[i + 1].moves < 0;
        if (repeats) return {i, moves - k % moves, i};
        if (k < moves) return {i, moves - k, i + 1};
        k -= moves;
    }
}

int TimeControl::movesToGo(int halfMoves) const { return lookUp(halfMoves).movesToGo; }

double TimeControl::increment(int halfMoves) const { return periods_[lookUp(halfMoves).index].incrementMs; }

double TimeControl::creditAfterMove(int halfMoves) const {
    const Lookup in = lookUp(halfMoves);
    double credit = periods_[in.index].incrementMs;
    if (in.movesToGo == 1) credit += periods_[in.next].baseMs;
    return credit;
}

}  // namespace zelmora
