#include "app/command_driver.h"

#include <cstring>
#include <new>

#include "control/search_control.h"
#include "pgn/game_script.h"
#include "uci/uci_output.h"
#include "uci/uci_protocol.h"
#include "util/text.h"
#include "xboard/xboard_output.h"
#include "xboard/xboard_protocol.h"

namespace zelmora {

CommandDriver::CommandDriver(const char* gamePath, bool showHiddenOptions, std::FILE* in, std::FILE* out,
                             std::FILE* err)
    : gamePath_(gamePath != nullptr ? gamePath : ""), showHiddenOptions_(showHiddenOptions), in_(in), out_(out),
      err_(err), control_(std::make_unique<SearchControl>(session_)) {
    // A file that cannot be opened leaves the engine without a script.
    if (!gamePath_.empty()) {
        gameScript_ = std::make_unique<GameScript>(gamePath_.c_str(), err_);
        if (gameScript_->isOpen()) session_.gameScript = gameScript_.get();
    }
}

CommandDriver::~CommandDriver() { tearDown(); }

void CommandDriver::run() {
    // One buffer for the whole run; lines longer than it arrive in pieces, each a command.
    std::unique_ptr<char[]> line(new char[LINE_SIZE]);
    std::setvbuf(in_, nullptr, _IONBF, 0);
    while (!std::feof(in_)) {
        if (control_ && control_->quit) break;
        if (std::fgets(line.get(), LINE_SIZE, in_) == nullptr) {
            // A read error other than the end would repeat forever.
            if (std::ferror(in_)) break;
            continue;
        }
        trimTrailingWhite(line.get());
        char word[17];
        if (std::sscanf(line.get(), "%16s", word) != 1) continue;
        if (!protocol_) {
            if (!chooseFrontEnd(word)) {
                std::fputs("'uci' or 'xboard' expected\n", err_);
                std::fflush(err_);
                continue;
            }
            if (!protocol_) break;  // out of memory for the front end
            if (xboard_) {
                xboard_->handle("xboard");
            } else {
                protocol_->handle(std::strcmp(word, "ucitest") == 0 ? "uci" : line.get());
            }
            continue;
        }
        dispatch(line.get());
    }
    tearDown();
}

void CommandDriver::dispatch(const char* line) {
    if (xboard_) {
        xboard_->handle(line);
    } else {
        protocol_->handle(line);
    }
}

bool CommandDriver::chooseFrontEnd(const char* word) {
    XboardOutput* xboardOutput = nullptr;
    const SearchLimits* clock = control_->clock();
    if (std::strcmp(word, "uci") == 0) {
        output_.reset(new (std::nothrow) UciOutput(clock, out_));
    } else if (std::strcmp(word, "ucitest") == 0) {
        output_.reset(new (std::nothrow) UciTimeLogOutput(clock, out_));
    } else if (std::strcmp(word, "xboard") == 0) {
        xboardOutput = new (std::nothrow) XboardOutput(clock, out_);
        output_.reset(xboardOutput);
    } else {
        return false;
    }
    if (output_) {
        control_->setOutput(output_.get());
        // The xboard adapter may set every option, hidden ones included, from its start-up file.
        const bool showHidden = showHiddenOptions_ || xboardOutput != nullptr;
        protocol_.reset(new (std::nothrow) UciProtocol(&session_, output_.get(), control_.get(), showHidden));
    }
    if (protocol_ && xboardOutput != nullptr) {
        xboard_.reset(new (std::nothrow) XboardProtocol(protocol_.get(), xboardOutput, &session_));
        if (!xboard_) protocol_.reset();
        xboardOutput->setProtocol(xboard_.get());
    }
    return true;
}

void CommandDriver::tearDown() {
    // No more UCI lines may start a search, and nobody reads the answer of one cut off here.
    if (xboard_) {
        xboard_->shutDown();
        output_->setSilent(true);
    }
    // A search still running must end before the objects it reports to disappear.
    if (control_) control_->stop();
    xboard_.reset();
    protocol_.reset();
    control_.reset();
    output_.reset();
    session_.gameScript = nullptr;
    gameScript_.reset();
}

}  // namespace zelmora
