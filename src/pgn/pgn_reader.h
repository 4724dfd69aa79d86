#pragma once
// Reads a file of games in Portable Game Notation, one game at a time. The reader is strict: the
// first error ends the file for its user, after one message that names file, line and character.

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "board/position.h"

namespace zelmora {

enum class PgnTokenKind : int {
    STRING = 0,
    INTEGER = 1,
    PERIOD = 2,
    ASTERISK = 3,
    OPEN_PARENTHESIS = 4,
    CLOSE_PARENTHESIS = 5,
    OPEN_BRACKET = 6,
    CLOSE_BRACKET = 7,
    NAG = 8,
    SYMBOL = 9,
    END_OF_FILE = 10,
};

using PgnTags = std::map<std::string, std::string>;

// Result codes of a game, from its "Result" tag.
enum PgnResult : int { WHITE_WINS = 0, BLACK_WINS = 1, DRAWN = 2, UNFINISHED = 3 };

struct PgnGame {
    std::vector<Move> moves;  // main line only, each checked by playing it
    int result = UNFINISHED;
    int whiteElo = 0, blackElo = 0;
    std::string fen;  // empty when the game starts from the classical array
};

class PgnReader {
public:
    // Opens the file and reads its first character; a file that cannot be opened is reported at
    // once. Messages go to errors (standard error unless a test says otherwise).
    explicit PgnReader(const char* fileName, std::FILE* errors = stderr);
    // Reads an already open stream, which the reader then owns and closes; name is for messages.
    PgnReader(std::FILE* stream, const char* name, std::FILE* errors = stderr);
    ~PgnReader() { close(); }
    PgnReader(const PgnReader&) = delete;
    PgnReader& operator=(const PgnReader&) = delete;

    bool isOpen() const { return file_ != nullptr; }
    void close();

    // The next game, or false at the end of the file and after an error (reported).
    bool readGame(std::vector<Move>& moves, PgnTags& tags);
    // The next game whose two ratings both reach minimumElo (a missing rating counts as 0).
    bool nextGame(int minimumElo, PgnGame& game);

    PgnTokenKind nextToken();
    const std::string& tokenText() const { return text_; }
    void reportError(const char* message, const char* detail = nullptr) const;

    int lineNumber() const { return line_; }
    int charNumber() const { return char_; }

private:
    void advance();
    void skipSeparators();
    bool skipVariation();
    bool readTagPair(PgnTags& tags, std::string& expectedResult, bool afterMoves);
    bool playMove(std::vector<Move>& moves);

    std::FILE* file_ = nullptr;
    std::FILE* errors_;
    std::string fileName_;
    int line_ = 1;
    int char_ = 1;
    int lookahead_ = EOF;
    std::string text_;
    Position board_;  // where the moves of the current game are checked
};

}  // namespace zelmora
