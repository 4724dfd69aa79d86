// "protover": the feature list and the start-up file of UCI settings.

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "util/platform.h"
#include "util/text.h"
#include "xboard/xboard_output.h"
#include "xboard/xboard_protocol.h"

namespace zelmora {

namespace {

constexpr const char* STARTUP_FILE = "Zelmora.ini";

const char* const FEATURES[] = {
    "feature done=0",
    "feature myname=\"Zelmora 2.4\"",
    "feature ping=1",
    "feature setboard=1",
    "feature playother=1",
    "feature usermove=1",
    "feature sigint=0",
    "feature variants=\"normal,fischerandom\"",
    "feature colors=0",
    "feature ics=0",
    "feature name=1",
};

std::FILE* openStartupFile() {
    if (std::FILE* file = std::fopen(STARTUP_FILE, "r")) return file;
    const std::string beside = besideProgram(STARTUP_FILE);
    return beside.empty() ? nullptr : std::fopen(beside.c_str(), "r");
}

}  // namespace

void XboardProtocol::protover(const char* line) {
    int version = 0;
    if (std::sscanf(skipWord(skipWhite(line)), "%d", &version) != 1 || version < 2) {
        output_->answerError("protocol version 2 required", line);
        queue("quit");
        return;
    }
    protocolVersion_ = version;
    // The engine's own complaints then reach the interface as error lines.
    queue("debug on");
    for (const char* feature : FEATURES) output_->answer(feature);
    readStartupFile();
    output_->answer("feature done=1");
}

void XboardProtocol::readStartupFile() {
    std::FILE* file = openStartupFile();
    if (file == nullptr) {
        output_->answerError("file 'Zelmora.ini' not found", "protover");
        return;
    }
    // Lines longer than this cannot be UCI settings; they arrive in pieces and are skipped.
    std::unique_ptr<char[]> line(new char[CommandQueue::SMALL_SIZE]);
    while (std::fgets(line.get(), CommandQueue::SMALL_SIZE, file) != nullptr) {
        trimTrailingWhite(line.get());
        if (startsWith(line.get(), "setoption ")) queue(line.get());
    }
    std::fclose(file);
    board_.newGame();
    board_.position.chess960Castling = chess960_ ? 1 : 0;
}

}  // namespace zelmora
