#include "uci/engine_output.h"

namespace zelmora {

void EngineOutput::writeLine(const char* text) {
    if (isSilent()) return;
    std::lock_guard<std::mutex> guard(lock_);
    std::fputs(text, stream_);
    std::fputc('\n', stream_);
    std::fflush(stream_);
}

}  // namespace zelmora
