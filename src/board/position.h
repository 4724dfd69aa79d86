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
    // The part of attackedByEnemy that enemy sliders reach: a move that changes no occupancy
    // inside it and takes nothing leaves all of these sets as they are.
    Bitboard attackedByEnemySliders;
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
// What a null move changes.
struct NullMoveUndo {
    std::uint64_t key;
    std::int32_t epSquare;
    Bitboard lastMoveSquares;
};

struct UndoRecord {
    // The most a move changes: a capture-promotion touches five sets (mover's piece, promoted piece
    // and all pieces; victim and all pieces of the other side) and ten list slots and counts.
    static constexpr int MAX_SETS = 5;
    static constexpr int MAX_VALUES = 10;

    struct SideCopy {
        Bitboard attackedByEnemy, attackedTwiceByEnemy, attackedByEnemyPawns, attackedByEnemySliders;
        std::int32_t materialSum;
        std::uint32_t materialKey;
    };
    int setCount;
    int valueCount;
    Bitboard* setAddress[MAX_SETS];
    Bitboard setOld[MAX_SETS];
    std::int8_t* valueAddress[MAX_VALUES];
    std::int8_t valueOld[MAX_VALUES];
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

    // ---- Reading ----
    const SideRecord& side(Colour c) const { return side_[c]; }
    const SideRecord& side(int c) const { return side_[c]; }
    const SideRecord& us() const { return side_[whiteToMove_ ? WHITE : BLACK]; }
    const SideRecord& them() const { return side_[whiteToMove_ ? BLACK : WHITE]; }
    Colour sideToMove() const { return whiteToMove_ ? WHITE : BLACK; }
    bool whiteToMove() const { return whiteToMove_ != 0; }
    Bitboard occupied() const { return occupied_; }
    // The squares of the last move: from and to, the king's target only after castling, none
    // after a null move.
    Bitboard lastMoveSquares() const { return lastMoveSquares_; }
    std::uint64_t key() const { return key_; }
    std::uint64_t pawnKey() const { return pawnKey_; }
    // Pinned pieces of either colour that are attacked.
    Bitboard pinnedAttacked() const { return pinnedAttacked_; }
    Square epSquare() const { return epSquare_; }  // NO_SQUARE unless a capture en passant is possible
    int castlingRights() const { return castlingRights_; }
    bool inCheck() const { return (us().attackedByEnemy & us().pieces[KING]) != 0; }
    int pieceCount() const { return side_[WHITE].count[ALL_PIECES] + side_[BLACK].count[ALL_PIECES]; }
    // Piece type on a square for the given colour, 0 when none.
    // Inline: move ordering asks it for every capture.
    int pieceOn(Colour c, Square s) const {
        const SideRecord& r = side_[c];
        if (!(r.pieces[ALL_PIECES] & bit(s))) return 0;
        for (int t = PAWN; t <= KING; ++t)
            if (r.pieces[t] & bit(s)) return t;
        return 0;
    }
    // True when any enemy slider, knight or pawn attacks c's king (the enemy king is ignored).
    bool kingInCheck(Colour c) const;
    // Every derived field agrees with the piece sets: counts, square lists, sums, keys, attack
    // sets (when fresh) and castling rights. For assertions and tests.
    bool isConsistent(bool attacksFresh = true) const;

    // Move texts: king-takes-rook castling moves, and FEN castling fields by file letter.
    std::uint8_t chess960Castling = 0;
    std::uint8_t castlingByFile = 0;

    // ---- Moves ----
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
        onKey(key_);
        return finishLegalMake(undo);
    }
    // Legality only: attack sets and pinnedAttacked are left stale.
    bool makeFast(Move m, UndoRecord& undo);
    void unmake(const UndoRecord& undo);
    // Passes the move to the other side: no en-passant square and no last move afterwards; the
    // attack sets stay valid, as nothing moved.
    void makeNullMove(NullMoveUndo& undo);
    void unmakeNullMove(const NullMoveUndo& undo);

    // For scoring a capture not made: one piece of the type leaves the colour's material for as
    // long as this object lives (counts, material sum and key; a bishop also leaves its set, as the
    // material term reads the bishops' square colours and nothing else of the sets).
    class MaterialWithout {
    public:
        MaterialWithout(Position& pos, Colour colour, int type, Square square);
        ~MaterialWithout();
        MaterialWithout(const MaterialWithout&) = delete;
        MaterialWithout& operator=(const MaterialWithout&) = delete;

    private:
        SideRecord& side_;
        const int type_;
        const Bitboard set_;
        const std::int32_t materialSum_;
        const std::uint32_t materialKey_;
    };

    // The last step of every set-up: checks the board and completes the derived fields.
    bool validateAndComplete();

private:
    void recomputeKeys();
    void rebuildSquareLists(Colour c);
    void computeAttacks(Colour target);  // attack sets of target's record, by the other colour
    void computePinnedAttacked();
    SideRecord& mover() { return side_[whiteToMove_ ? WHITE : BLACK]; }
    void prepare(UndoRecord& undo) const;
    bool finishLegalMake(const UndoRecord& undo);
    void dropCastlingRightsWithoutRook();
    bool readCastlingField(const char*& p);
    void placeCastlingRook(Colour c, bool kingSide, Bitboard candidateFiles);

    SideRecord side_[2];
    Bitboard occupied_;
    Bitboard lastMoveSquares_;
    std::uint64_t key_;
    std::uint64_t pawnKey_;
    Bitboard pinnedAttacked_;
    std::int32_t epSquare_;
    std::uint8_t castlingRights_;
    std::uint8_t whiteToMove_;
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
