#include "search/move_change.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "neural/network.h"
#include "util/platform.h"

namespace zelmora {

namespace {

// Beyond a line's end every move counts as the empty move, so two missing moves are equal.
Move moveAt(const PrincipalVariation& line, int i) { return i < line.length ? line.moves[i] : NO_MOVE; }

double flag(bool b) { return b ? 1.0 : 0.0; }

double squashedScore(int score) {
    const double s = std::clamp(score, -15000, 15000) / 1000.0;
    return 1.0 / (1.0 + std::exp(-s));
}

}  // namespace

void moveChangeFeatures(const MoveChangeSample& sample, double x[MOVE_CHANGE_INPUTS]) {
    const PrincipalVariation& p = *sample.previous;
    const PrincipalVariation& c = *sample.current;
    std::fill(x, x + MOVE_CHANGE_INPUTS, 0.0);
    for (int i = 0; i < 5; ++i) x[i] = flag(moveAt(p, i) == moveAt(c, i));
    // The same moves one move pair later or earlier: the line has only shifted.
    x[5] = flag(moveAt(p, 0) == moveAt(c, 2));
    x[6] = flag(moveAt(c, 0) == moveAt(p, 2));
    x[7] = flag(moveAt(p, 1) == moveAt(c, 3));
    x[8] = flag(moveAt(c, 1) == moveAt(p, 3));
    x[9] = flag(moveAt(p, 2) == moveAt(c, 4));
    x[10] = flag(moveAt(c, 2) == moveAt(p, 4));

    Position pos = *sample.root;
    x[15] = flag(pos.inCheck());
    UndoRecord undo;
    for (int k = 0; k < 5 && k < c.length; ++k) {
        const Move m = c.moves[k];
        if (!pos.makeLegal(m, undo)) break;  // lines come from the table, checked move by move
        if (k >= 1) x[10 + k] = flag(undo.captured != 0);
        if (k == 0 && undo.captured >= PAWN && undo.captured <= QUEEN) x[32 + undo.captured] = 1.0;
        if (k <= 1) x[(k == 0 ? 20 : 26) + movePiece(m)] = 1.0;
        x[16 + k] = flag(pos.inCheck());
    }
    x[38] = flag(sample.changedBack);
    x[39] = squashedScore(sample.previousScore);
    x[40] = squashedScore(sample.score);
    x[41] = 0.025 * sample.rootMoveCount;
}

double predictMoveChange(Network& network, const MoveChangeSample& sample, char* log) {
    double x[MOVE_CHANGE_INPUTS];
    moveChangeFeatures(sample, x);
    network.resetSums();
    for (int i = 0; i < MOVE_CHANGE_INPUTS; ++i) network.setInput(i, x[i]);
    network.compute();
    const double p = network.output(0);
    if (log != nullptr) {
        int n = 0;
        for (int i = 0; i < 39; ++i) {
            log[n++] = x[i] > 0.5 ? '1' : '0';
            log[n++] = ' ';
        }
        std::snprintf(log + n, MOVE_CHANGE_LOG_SIZE - std::size_t(n), "%16.14f %16.14f %6.3f %13.10f ", x[39], x[40],
                      x[41], p);
    }
    return p;
}

void appendTimeLogLine(const char* fileName, const char* text, int changed) {
    static Lock lock;
    LockGuard guard(lock);
    std::FILE* file = std::fopen(fileName, "a");
    if (file == nullptr) return;  // a log that cannot be written is no reason to stop playing
    std::fprintf(file, "%s %d\n", text, changed);
    std::fclose(file);
}

}  // namespace zelmora
