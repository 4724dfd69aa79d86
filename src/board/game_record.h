#pragma once
// The game above the position: compact keys of every position since the last irreversible
// move, from which repetitions, the fifty-move rule and the FEN counters follow.

#include "board/position.h"

namespace zelmora {

// Exact identity of a position for repetition detection (no hash collisions possible).
struct RepetitionKey {
    Bitboard pawns;               // pawns of both colours
    Bitboard white;               // all White pieces
    Bitboard rooksKings;
    Bitboard bishopsQueensKings;
    Bitboard knightsQueens;
    std::uint32_t state;          // castling rights | en-passant square | 128 when White moves

    static RepetitionKey of(const Position& pos);
    bool operator==(const RepetitionKey&) const = default;
    int pieceCount() const;
    // Same pawns with the same colours and the same number of pieces: no irreversible move between.
    bool reversiblyReachable(const RepetitionKey& other) const;
};

// Draw results.
enum DrawResult : int {
    NO_DRAW = 0,
    SEEN_BEFORE = 1,
    REPETITION = 3,
    INSUFFICIENT_MATERIAL = 10,
    DEAD_POSITION = 40,
    FIFTY_MOVES = 50,
};

// 10 insufficient material, 40 dead position (only pawns besides the kings, all blocked), else 0.
int materialDraw(const Position& pos);

class GameRecord {
public:
    static constexpr int MAX_KEYS = 101;

    Position position;
    RepetitionKey keys[MAX_KEYS];
    int keyCount = 1;  // halfmove clock + 1

    GameRecord() { newGame(); }

    void newGame();
    // Copies and validates the position (nullptr: the classical start); false when invalid.
    bool setPosition(const Position* copy);
    bool setChess960(unsigned number);
    // FEN with optional halfmove clock and move number; false (nothing else changed) when rejected.
    bool setFen(const char* text);
    // Full six-field FEN; the move number is derived from the halfmove clock.
    char* getFen(char* buffer) const;
    // Makes a move that the caller knows to be legal.
    void playMove(Move m);

    int claimableDraw() const;  // 50, 3 or the material result
    // For a position of the search tree: 1 or 3 when it repeats positions of the game since the
    // last irreversible move, else the material result.
    int searchDraw(const Position& pos) const;
    int halfmoveClock() const { return keyCount - 1; }
};

}  // namespace zelmora
