// Games from tokens: tag pairs, the moves of the main line (each played on a board), the
// termination marker, and the filter by rating.

#include <cstdint>

#include "board/notation.h"
#include "pgn/pgn_reader.h"
#include "util/text.h"

namespace zelmora {

namespace {

bool isTerminationMarker(const std::string& text) { return text == "1-0" || text == "0-1" || text == "1/2-1/2"; }

int ratingOf(const PgnTags& tags, const char* name) {
    const auto found = tags.find(name);
    std::int64_t value = 0;
    if (found == tags.end() || !readInteger(found->second.c_str(), value)) return 0;
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return int(value);
}

int resultCodeOf(const PgnTags& tags) {
    const auto found = tags.find("Result");
    if (found == tags.end()) return UNFINISHED;
    if (found->second == "1-0") return WHITE_WINS;
    if (found->second == "0-1") return BLACK_WINS;
    if (found->second == "1/2-1/2") return DRAWN;
    return UNFINISHED;
}

}  // namespace

bool PgnReader::skipVariation() {
    int depth = 1;
    while (depth > 0) {
        switch (nextToken()) {
        case PgnTokenKind::OPEN_PARENTHESIS: ++depth; break;
        case PgnTokenKind::CLOSE_PARENTHESIS: --depth; break;
        case PgnTokenKind::END_OF_FILE: reportError("unexpected end of file"); return false;
        default: break;
        }
    }
    return true;
}

bool PgnReader::readTagPair(PgnTags& tags, std::string& expectedResult, bool afterMoves) {
    if (nextToken() != PgnTokenKind::SYMBOL) {
        reportError("symbol expected");
        return false;
    }
    const std::string name = text_;
    if (nextToken() != PgnTokenKind::STRING) {
        reportError("String erwartet");
        return false;
    }
    tags[name] = text_;
    if (name == "Result") {
        expectedResult = text_;
    } else if (name == "FEN") {
        // The moves before it were played from another position: the game's start would be wrong
        // for every user that replays them from this one.
        if (afterMoves) {
            reportError("FEN tag after the first move");
            return false;
        }
        // A FEN that cannot be read leaves the classical array, so that the moves are checked
        // against a sound board (and most likely rejected) instead of a half-built one.
        if (board_.setFen(text_.c_str()) == nullptr) board_.reset();
    }
    if (nextToken() != PgnTokenKind::CLOSE_BRACKET) {
        reportError("']' expected");
        return false;
    }
    return true;
}

bool PgnReader::playMove(std::vector<Move>& moves) {
    Move move = NO_MOVE;
    UndoRecord undo;
    if (!textToMove(board_, text_.c_str(), move, false) || !board_.makeLegal(move, undo)) {
        reportError("illegal move ", text_.c_str());
        return false;
    }
    moves.push_back(move);
    return true;
}

bool PgnReader::readGame(std::vector<Move>& moves, PgnTags& tags) {
    moves.clear();
    tags.clear();
    std::string expectedResult = "*";
    board_.reset();
    if (!isOpen()) return false;

    bool terminated = false;
    while (!terminated) {
        // The end of the file is no error, even inside a game: an unfinished last game is dropped.
        switch (nextToken()) {
        case PgnTokenKind::END_OF_FILE: return false;
        case PgnTokenKind::INTEGER:
        case PgnTokenKind::PERIOD:
        case PgnTokenKind::NAG: break;
        case PgnTokenKind::STRING: reportError("unexpected string ", text_.c_str()); return false;
        case PgnTokenKind::OPEN_PARENTHESIS:
            if (!skipVariation()) return false;
            break;
        case PgnTokenKind::CLOSE_PARENTHESIS: reportError("unexpected ')'"); return false;
        case PgnTokenKind::OPEN_BRACKET:
            if (!readTagPair(tags, expectedResult, !moves.empty())) return false;
            break;
        case PgnTokenKind::CLOSE_BRACKET: reportError("unexpected ']'"); return false;
        case PgnTokenKind::ASTERISK:
            if (expectedResult != "*") {
                reportError("Game termination marker different from Result");
                return false;
            }
            terminated = true;
            break;
        case PgnTokenKind::SYMBOL:
            if (isTerminationMarker(text_)) {
                if (text_ != expectedResult) {
                    reportError("Game termination marker different from Result");
                    return false;
                }
                terminated = true;
                break;
            }
            if (!playMove(moves)) return false;
            break;
        }
    }

    static const char* const REQUIRED[][2] = {
        {"White", "'White' missing (in game above current line)"},
        {"Black", "'Black' missing (in game above current line)"},
        {"Result", "'Result' missing (in game above current line)"},
    };
    for (const auto& [name, message] : REQUIRED) {
        if (tags.count(name) == 0) {
            reportError(message);
            return false;
        }
    }
    return true;
}

bool PgnReader::nextGame(int minimumElo, PgnGame& game) {
    game.result = UNFINISHED;
    PgnTags tags;
    for (;;) {
        if (!readGame(game.moves, tags)) return false;
        game.whiteElo = ratingOf(tags, "WhiteElo");
        game.blackElo = ratingOf(tags, "BlackElo");
        if (minimumElo > game.whiteElo || minimumElo > game.blackElo) continue;
        const auto fen = tags.find("FEN");
        game.fen = fen != tags.end() ? fen->second : std::string();
        game.result = resultCodeOf(tags);
        return true;
    }
}

}  // namespace zelmora
