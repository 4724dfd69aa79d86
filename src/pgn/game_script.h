#pragma once
// The games of a PGN file replayed at the root: while the engine's positions follow a game of the
// file, the script answers with that game's next move for the engine's side.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "board/types.h"

namespace zelmora {

class PgnReader;

class GameScript {
public:
    // Errors of the file go to errors like every PGN reader's.
    explicit GameScript(const char* fileName, std::FILE* errors = stderr);
    ~GameScript();
    GameScript(const GameScript&) = delete;
    GameScript& operator=(const GameScript&) = delete;

    bool isOpen() const;
    // The move to play in the position with this key, or NO_MOVE. The first position that leaves
    // the followed game switches the script off for good.
    Move moveFor(std::uint64_t key);

private:
    struct Entry {
        std::uint64_t key;  // before the move
        Move move;
    };
    bool loadNextGame();

    std::unique_ptr<PgnReader> reader_;
    std::vector<Entry> entries_;
    std::size_t index_ = 0;
    bool exhausted_ = false;
};

}  // namespace zelmora
