#pragma once
// What the threads of one search share: the table, the game at the root, the settings the search
// started with, and the flags the control side writes while it runs.

#include <atomic>
#include <string>

#include "board/game_record.h"
#include "search/engine_listener.h"
#include "util/platform.h"

namespace zelmora {

class TranspositionTable;

constexpr int FILE_NAME_SIZE = 512;
constexpr int MAX_MULTI_PV = 255;

// "searchmoves" and "excludemoves": the root moves a search is limited to or kept from.
struct RootFilter {
    bool active = false;
    bool exclude = false;
    std::string moves;  // coordinate moves separated by blanks
};

// Fixed for the length of one search.
struct SearchSettings {
    int multiPv = 1;
    int threadCount = 1;
    bool alwaysClearHash = false;
    char timeLogFile[FILE_NAME_SIZE] = "";  // "" for none
    RootFilter rootFilter;
};

class SharedSearch {
public:
    explicit SharedSearch(TranspositionTable& sharedTable) : table(sharedTable) {}
    SharedSearch(const SharedSearch&) = delete;
    SharedSearch& operator=(const SharedSearch&) = delete;

    // A ponder search that has finished waits here for ponderhit or stop before it answers.
    void waitWhilePondering() const {
        while (ponder.load(std::memory_order_relaxed)) sleepMilliseconds(PONDER_NAP_MS);
    }
    // A null listener puts back the built-in one that drops every report.
    void setListener(EngineListener* newListener) { listener = newListener ? newListener : &nullListener_; }

    TranspositionTable& table;
    EngineListener* listener = &nullListener_;
    GameRecord game;  // the position searched and the game before it
    SearchSettings settings;

    // Written by the control side, polled by every search thread; relaxed byte stores suffice.
    std::atomic<bool> stop{false};
    std::atomic<bool> ponder{false};
    // The main thread's verdict after each iteration: whether it would go on without pondering.
    std::atomic<bool> continueIterating{false};

private:
    static constexpr int PONDER_NAP_MS = 40;  // how often a waiting search looks at its flag

    NullListener nullListener_;
};

}  // namespace zelmora
