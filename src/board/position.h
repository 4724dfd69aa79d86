#pragma once
// The bitboard position record. Every derived quantity (counts, square lists, attack sets,
// keys, material) is kept inside so that readers never recompute it.

#include <cstdint>

#include "board/attacks.h"
#include "board/board_data.h"

namespace zelmora {

struct SideRecord {
    Bitboard pieces[PIECE_TYPE_COUNT];  // [0] = all pieces of this colour
    // Attack sets of the other colour, refreshed by computeAttacks().
    Bitboard attackedByEnemy;
    Bitboard attackedTwiceByEnemy;
    Bitboard attackedByEnemyPawns;
    std::int32_t materialSum;  // piece values without the king
    std::uint32_t materialKey;
    std::int8_t count[PIECE_TYPE_COUNT];  // [0] = all pieces including the king
    // First count[t] entries are valid; a rebuild lists them in ascending order, moves reorder them.
    std::int8_t squareList[PIECE_TYPE_COUNT][10];

    // Castling geometry.
    Bitboard backRank;
    Bitboard castleEmptyKingSide, castleEmptyQueenSide;
    Bitboard castleSafeKingSide, castleSafeQueenSide;  // include the king's own square
    std::int8_t pawnStep;                               // -8 White, +8 Black
    std::int8_t rookSquareKingSide, rookSquareQueenSide;  // -1 when there is none
    std::int8_t kingTargetQueenSide, rookTargetQueenSide, rookTargetKingSide, kingTargetKingSide;
    std::uint8_t castleMask;  // this colour's castling-right bits
    std::uint8_t colour;

    Square king() const { return squareList[KING][0]; }
};

class Position;

// What unmake needs: the scalar fields before the move and a log of the sets, counts and list
// slots the move changed (by address and old value).
struct UndoRecord {
    struct SideCopy {
        Bitboard attackedByEnemy, attackedTwiceByEnemy, attackedByEnemyPawns;
        std::int32_t materialSum;
        std::uint32_t materialKey;
    };
    int setCount;
    int valueCount;
    Bitboard* setAddress[5];
    Bitboard setOld[5];
    std::int8_t* valueAddress[10];
    std::int8_t valueOld[10];
    SideCopy side[2];
    Bitboard occupied, lastMoveSquares;
    std::uint64_t key, pawnKey;
    Bitboard pinnedAttacked;
    std::int32_t epSquare;
    std::uint8_t castlingRights, whiteToMove;
    std::uint8_t captured;  // piece type taken by the move (1 for en passant), 0 for none
};

class Position {
public:
    SideRecord side[2];
    Bitboard occupied;
    Bitboard lastMoveSquares;
    std::uint64_t key;
    std::uint64_t pawnKey;
    Bitboard pinnedAttacked;
    std::int32_t epSquare;
    std::uint8_t castlingRights;
    std::uint8_t whiteToMove;
    std::uint8_t chess960Castling;
    std::uint8_t castlingByFile;

    Position() { reset(); }

    // The classical start position, with the fixed castling geometry of both colours.
    void reset();
    // Reads the first four FEN fields. Returns the text behind the en-passant field, or nullptr
    // when the text is rejected; the position is then unusable until the next successful set-up.
    const char* setFen(const char* text);
    // Chess960 start position number n (mod 960); 518 is the classical array.
    bool setChess960(unsigned n);
    // Board, side, castling and en-passant fields into buffer (at least 90 bytes).
    char* writeFen(char* buffer) const;
    // The test every set-up ends with; completes the derived fields.
    bool validateAndComplete();

    void recomputeKeys();
    void rebuildSquareLists(Colour c);
    void computeAttacks(Colour target);  // attack sets of target's record, by the other colour
    void computePinnedAttacked();

    Colour sideToMove() const { return whiteToMove ? WHITE : BLACK; }
    SideRecord& us() { return side[whiteToMove ? WHITE : BLACK]; }
    SideRecord& them() { return side[whiteToMove ? BLACK : WHITE]; }
    const SideRecord& us() const { return side[whiteToMove ? WHITE : BLACK]; }
    const SideRecord& them() const { return side[whiteToMove ? BLACK : WHITE]; }
    bool inCheck() const { return (us().attackedByEnemy & us().pieces[KING]) != 0; }
    int pieceCount() const { return side[WHITE].count[ALL_PIECES] + side[BLACK].count[ALL_PIECES]; }
    // Piece type on a square for the given colour, 0 when none.
    int pieceOn(Colour c, Square s) const;

    // Make without legality test; unmake restores every field exactly.
    void makeMove(Move m, UndoRecord& undo);
    // Full make: false (and the position unchanged) when the mover's king is left attacked.
    // On success both colours' attack sets and pinnedAttacked are fresh.
    bool makeLegal(Move m, UndoRecord& undo) {
        makeMove(m, undo);
        return finishLegalMake(undo);
    }
    // The same, calling onKey with the new key as soon as it is known (to prefetch table entries
    // while the attack sets are computed).
    template <class OnKey>
    bool makeLegal(Move m, UndoRecord& undo, OnKey&& onKey) {
        makeMove(m, undo);
        onKey(key);
        return finishLegalMake(undo);
    }
    // Legality only: attack sets and pinnedAttacked are left stale.
    bool makeFast(Move m, UndoRecord& undo);
    void unmake(const UndoRecord& undo);

    // True when any enemy slider, knight or pawn attacks c's king (the enemy king is ignored).
    bool kingInCheck(Colour c) const;

private:
    void prepare(UndoRecord& undo) const;
    bool finishLegalMake(const UndoRecord& undo);
    void dropCastlingRightsWithoutRook();
    bool readCastlingField(const char*& p);
    void placeCastlingRook(Colour c, bool kingSide, Bitboard candidateFiles);
};

inline std::uint64_t zobrist(int colour, int type, int square) {
    return data::ZOBRIST_KEYS[(colour * 7 + type) * 64 + square];
}
inline std::uint32_t materialKeyEntry(int colour, int type, int count) {
    return data::MATERIAL_KEYS[(colour * 5 + type - 1) * 16 + count];
}
inline std::uint32_t materialKeyStep(int colour, int type, int count) {
    return data::MATERIAL_KEY_STEPS[(colour * 5 + type - 1) * 16 + count];
}
constexpr std::uint64_t WHITE_TO_MOVE_KEY = 0x69A5;

}  // namespace zelmora
