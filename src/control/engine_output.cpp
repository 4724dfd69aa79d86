#include "control/engine_output.h"

namespace zelmora {

void EngineOutput::writeLine(const char* text, bool evenWhenSilent) {
    if (isSilent() && !evenWhenSilent) return;
    LockGuard guard(lock_);
    std::fputs(text, stream_);
    std::fputc('\n', stream_);
    std::fflush(stream_);
}

}  // namespace zelmora
