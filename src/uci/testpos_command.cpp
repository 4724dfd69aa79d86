#include <cstdio>

#include "control/search_control.h"
#include "control/search_control.h"
#include "uci/test_position_job.h"
#include "uci/uci_protocol.h"
#include "util/platform.h"
#include "util/random.h"
#include "util/text.h"

namespace zelmora {

// "testpos <control file>": a batch job of hours, run in the command thread at idle priority.
// Without a file name there is nothing to do, so the command ends at once.
void UciProtocol::testpos(const char* line) {
    const char* controlFile = skipWhite(skipWord(skipWhite(line)));
    if (*controlFile == '\0') return;
    // Its progress lines must not mix with a search's output.
    control_->stopSilently();
    setIdlePriority();
    TestPositionJob job(RandomGenerator::instance(), stdout);
    job.run(controlFile);
}

}  // namespace zelmora
