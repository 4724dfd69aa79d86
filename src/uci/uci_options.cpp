#include <cstdio>

#include "control/engine_output.h"
#include "uci/uci_protocol.h"

namespace zelmora {

void UciProtocol::uci(const char*) {
    char line[96];
    output_->printLine("id name Zelmora 2.4");
    output_->printLine("id author Quorvin Dalt");
    std::snprintf(line, sizeof line, "option name Hash type spin default 3 min 3 max %d", MAX_HASH_MB);
    output_->printLine(line);
    output_->printLine("option name Ponder type check default true");
    output_->printLine("option name OwnBook type check default true");
    output_->printLine("option name Clear Hash type button");
    output_->printLine("option name MultiPV type spin default 1 min 1 max 255");
    output_->printLine("option name UCI_Chess960 type check default false");
    output_->printLine("option name BookFile type string default Zelmora.opn");
    output_->printLine("option name Opponent type string default unknown");
    std::snprintf(line, sizeof line, "option name NumberOfProcessors type spin default 1 min 1 max %d", MAX_THREADS);
    output_->printLine(line);
    std::snprintf(line, sizeof line, "option name NeuroMaterial type spin default %d min 0 max 100",
                  DEFAULT_NEURO_MATERIAL);
    output_->printLine(line);
    std::snprintf(line, sizeof line, "option name NeuroWidth type spin default %d min 1 max 10000",
                  DEFAULT_NEURO_WIDTH);
    output_->printLine(line);
    output_->printLine("option name MaterialFile type string default (internal)");
    if (showHiddenOptions) {
        output_->printLine("option name Zeitprotokolldatei type string default nul:");
        output_->printLine("option name blocking type check default false");
        output_->printLine("option name NoOutput type check default false");
        output_->printLine("option name Resign type spin default 700 min 400 max 2000");
        output_->printLine("option name AlwaysClearHash type check default false");
    }
    output_->printLine("uciok");
}

}  // namespace zelmora
