#include "pgn/game_script.h"

#include "pgn/pgn_reader.h"

namespace zelmora {

GameScript::GameScript(const char* fileName, std::FILE* errors) {
    // A missing file only means playing without a script: no message, unlike other PGN users.
    if (std::FILE* probe = std::fopen(fileName, "r")) {
        std::fclose(probe);
        reader_ = std::make_unique<PgnReader>(fileName, errors);
    }
    exhausted_ = !isOpen();
}

GameScript::~GameScript() = default;

bool GameScript::isOpen() const { return reader_ && reader_->isOpen(); }

bool GameScript::loadNextGame() {
    PgnGame game;
    if (!reader_->nextGame(-1, game)) return false;
    Position position;
    if (!game.fen.empty() && position.setFen(game.fen.c_str()) == nullptr) return false;
    entries_.clear();
    for (Move move : game.moves) {
        entries_.push_back({position.key(), move});
        UndoRecord undo;
        if (!position.makeLegal(move, undo)) return false;
    }
    return true;
}

Move GameScript::moveFor(std::uint64_t key) {
    if (exhausted_) return NO_MOVE;
    while (index_ >= entries_.size()) {
        if (!loadNextGame()) {
            exhausted_ = true;
            return NO_MOVE;
        }
        // The engine plays White when the game's first position is the one asked about, else Black.
        index_ = entries_.size() > 1 && entries_[0].key == key ? 0 : 1;
    }
    if (entries_[index_].key != key) {
        exhausted_ = true;
        return NO_MOVE;
    }
    const Move move = entries_[index_].move;
    index_ += 2;
    return move;
}

}  // namespace zelmora
