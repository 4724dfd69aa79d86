#include <cstdio>

#include "control/engine_output.h"
#include "control/session.h"
#include "eval/evaluator.h"
#include "uci/uci_protocol.h"

namespace zelmora {

// Leaves a running search alone: the game position changes only on the command thread, and the
// evaluation runs on its own evaluator, which setoption keeps at the engine's material settings.
void UciProtocol::eval(const char*) {
    Evaluator& evaluator = *evalScratch_;
    const Position& pos = session_->game.position;
    const long e = evaluator.evaluate(pos);
    const long material = evaluator.material.currentScore();
    const long toward = e > 0 ? e - 1 : e < 0 ? e + 1 : 0;
    const long rest = pos.whiteToMove() ? toward - material : toward + material;
    long mat = e - rest;
    if (mat == 1 || mat == -1) mat = 0;

    char line[96];
    std::snprintf(line, sizeof line, "info score cp %ld", (e + 9) / 10);
    output_->printLine(line);
    std::snprintf(line, sizeof line, "info string value %ld mat %ld", e, mat);
    output_->printLine(line);
}

}  // namespace zelmora
