#pragma once
// Statistics of games for building an opening book: per position, every move played with the
// points it earned for each side. "book add" fills them, the writers turn them into files.

#include <cstdint>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "board/position.h"
#include "book/game_signature.h"

namespace zelmora {

struct MoveStats {
    static constexpr float NOT_SCORED = -9999.9f;

    std::uint32_t whitePoints;  // starting at 1000: a prior that pulls rare moves towards even
    std::uint32_t blackPoints;
    Move move;
    float value;  // log-odds for the side to move, set by the scoring walk
    std::int32_t weight;  // 0..99, set by the scoring walk
    bool written;  // handled (or dropped) by a walk
};

struct GamePoints {
    std::uint32_t white, black;
};

class BookBuilder {
public:
    static constexpr int SIGNATURE_PLIES = GameSignatureTable::PLIES;
    static constexpr int RECORDED_PLIES = 37;  // only the opening of each game counts
    static constexpr int SIGNED_PLIES = 99;    // games alike this far are the same game

    // The signature numbers come from the program-wide generator.
    BookBuilder();

    // Adds the games of a PGN file of at least minimumElo; false when the file cannot be opened.
    // The reader's messages and, every few thousand games, a progress line go to messages.
    bool addGames(const char* fileName, std::uint32_t gameValue, bool allGames, int minimumElo,
                  std::FILE* messages = stderr);
    // One game: resultSign +1 White won, -1 Black won, 0 drawn. fen may be null (classical start).
    bool addGame(const std::vector<Move>& moves, const char* fen, std::uint32_t gameValue, bool allGames,
                 int resultSign);

    // Log-odds value of the position for the side to move; values and weights every move
    // played more than countLimit points' worth (see book_scoring.cpp).
    float scoreBookTree(Position& position, std::int64_t countLimit, double logWidth);
    void writeBookTree(Position& position, int depth, std::FILE* out);
    void collectTestPositions(Position& position, const std::string& moveText, bool gateA, bool gateB,
                              bool& rich, bool& recorded);

    // The three exports; false only when the file cannot be opened (reported on errors). The
    // book writers leave the numbers of moves written in whiteMoves and blackMoves.
    bool write(const char* fileName, int threshold, double width, std::FILE* errors = stderr);
    bool write960(const char* fileName, int threshold, double width, std::FILE* errors = stderr);
    bool writeEpd(const char* fileName, int threshold, double width, std::FILE* errors = stderr);

    GameSignatureTable signatures;
    std::map<std::uint64_t, GamePoints> games;
    std::map<std::uint64_t, std::vector<MoveStats>> positions;
    std::set<std::uint64_t> path;
    std::int32_t whiteMoves = 0, blackMoves = 0;
    std::vector<std::string> testLines;

    // Statistics of the add commands, for the progress lines.
    std::uint64_t gamesRead = 0, gamesAdded = 0;

private:
    std::vector<MoveStats>* statsOf(std::uint64_t key);
};

}  // namespace zelmora
