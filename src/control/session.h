#pragma once
// What lasts from one command to the next: the game, the options that shape the next search, the
// book and the followed game. The command thread owns it; searches take a copy of what they use.

#include <atomic>

#include "board/game_record.h"
#include "search/shared_search.h"

namespace zelmora {

class GameScript;

struct Session {
    static constexpr int DEFAULT_RESIGN_THRESHOLD = -7000;

    GameRecord game;
    // The games given on the command line; asked before the book (not owned).
    GameScript* gameScript = nullptr;

    bool ownBook = true;
    char bookFile[FILE_NAME_SIZE] = "Zelmora.opn";
    bool chess960 = false;  // UCI_Chess960
    int multiPv = 1;
    bool alwaysClearHash = false;
    char timeLogFile[FILE_NAME_SIZE] = "";  // "" for none
    RootFilter rootFilter;                  // of the next "go"
    // Read by the xboard adapter's thread when the engine has moved.
    std::atomic<int> resignThreshold{DEFAULT_RESIGN_THRESHOLD};
};

}  // namespace zelmora
