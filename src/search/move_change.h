#pragma once
// The guess, from the last two iterations, that the best move will still change: 42 features
// of the two principal variations and scores, read by the best-move-change network.

#include <cstddef>

#include "board/position.h"
#include "search/principal_variation.h"

namespace zelmora {

class Network;

constexpr int MOVE_CHANGE_INPUTS = 42;
constexpr std::size_t MOVE_CHANGE_LOG_SIZE = 256;

struct MoveChangeSample {
    const PrincipalVariation* previous;  // the iteration before
    const PrincipalVariation* current;   // the iteration just finished
    const Position* root;
    int previousScore;
    int score;
    bool changedBack;
    int rootMoveCount;
};

void moveChangeFeatures(const MoveChangeSample& sample, double features[MOVE_CHANGE_INPUTS]);

// The network's probability; with a log buffer, also the features and the guess as the text of a
// time log line, which the next iteration completes with what really happened.
double predictMoveChange(Network& network, const MoveChangeSample& sample, char* log = nullptr);

// Appends one line to the time log; lines of all search threads go through one lock.
void appendTimeLogLine(const char* fileName, const char* text, int changed);

}  // namespace zelmora
