#pragma once
// Reads the command lines, picks the protocol from the first word and owns every front-end
// object for the whole run.

#include <cstdio>
#include <memory>
#include <string>

#include "control/session.h"

namespace zelmora {

class EngineOutput;
class GameScript;
class SearchControl;
class UciProtocol;
class XboardProtocol;

class CommandDriver {
public:
    static constexpr int LINE_SIZE = 40000;

    // gamePath may be null. The streams stay owned by the caller.
    CommandDriver(const char* gamePath, bool showHiddenOptions, std::FILE* in, std::FILE* out, std::FILE* err);
    ~CommandDriver();
    CommandDriver(const CommandDriver&) = delete;
    CommandDriver& operator=(const CommandDriver&) = delete;

    // Runs until "quit" or the end of the input.
    void run();

private:
    // False when the word names no front end.
    bool chooseFrontEnd(const char* word);
    // The line goes to the xboard adapter in xboard mode, else to the UCI dispatcher.
    void dispatch(const char* line);
    void tearDown();

    Session session_;
    std::string gamePath_;  // replayed by the game script
    std::unique_ptr<GameScript> gameScript_;
    bool showHiddenOptions_;
    std::FILE* in_;
    std::FILE* out_;
    std::FILE* err_;
    std::unique_ptr<EngineOutput> output_;
    std::unique_ptr<SearchControl> control_;  // its searches report to output_
    std::unique_ptr<UciProtocol> protocol_;
    std::unique_ptr<XboardProtocol> xboard_;  // wraps protocol_ in xboard mode
};

}  // namespace zelmora
