#pragma once
// Endgame knowledge for small material signatures. Each kind answers for one signature; the
// registry holds one ready instance of every kind and picks the one for a position's material.

#include <memory>
#include <vector>

#include "board/position.h"

namespace zelmora {

class Evaluator;

class EndgameRecognizer {
public:
    EndgameRecognizer() = default;
    virtual ~EndgameRecognizer() = default;
    // value: in the material value, out the adjusted or final value; White's view.
    // True: value is the final evaluation.
    virtual bool evaluate(const Position& pos, int& value) const;
    // Quiescence: true when value (side to move's view) replaces the stand-pat evaluation.
    virtual bool evaluateQuiet(const Position& pos, int& value) const;
    // Search: true means a cutoff with value (side to move's view). depth is in eighths of a ply;
    // a change of the remaining depth may be written to depthAdjust either way.
    virtual bool bound(const Position& pos, int& value, int alpha, int beta, int depth, int& depthAdjust) const;
    // The final correction of a normal evaluation; White's view in and out.
    virtual int scale(const Position& pos, const Evaluator& evaluator, int value) const;

    // The kind, with the strong colour or parameter where a kind exists twice.
    const char* name() const { return name_; }

protected:
    explicit EndgameRecognizer(const char* name) : name_(name) {}

private:
    const char* name_ = "Default";
};

class RecognizerRegistry {
public:
    RecognizerRegistry();
    RecognizerRegistry(const RecognizerRegistry&) = delete;
    RecognizerRegistry& operator=(const RecognizerRegistry&) = delete;

    // The recognizer for the position's material; defaultRecognizer() when none applies.
    // Reads piece counts only, so the choice is fixed per material signature.
    const EndgameRecognizer* select(const Position& pos) const;
    const EndgameRecognizer* defaultRecognizer() const { return &default_; }

private:
    enum Kind : int {
        DEAD_DRAW,
        TWO_KNIGHTS,
        KING_PAWN_VS_KING,
        MAJOR_VS_KING,
        QUEEN_VS_ROOK,
        EQUAL_PIECES,
        BISHOP_KNIGHT_MATE,
        MINOR_PAWN_VS_KING,
        PAWN_VS_MINOR,
        ROOK_VS_MINOR,
        TWO_MINORS_VS_PIECE,
        ROOK_MINOR_VS_ROOK_PAWN,  // White's slot holds the +100 instance, Black's the -100 one
        ROOK_PAWN_VS_ROOK,
        ROOK_MINOR_VS_ROOK,
        QUEEN_MINOR_VS_QUEEN,
        TWO_KNIGHTS_VS_PAWN,
        PAWN_ENDING,
        BISHOP_VS_BISHOP,
        KNIGHT_VS_KNIGHT,
        BISHOP_VS_KNIGHT,
        QUEEN_VS_QUEEN,
        ONE_SIDE_PAWNS,
        KIND_COUNT
    };

    const EndgameRecognizer* of(Kind kind, Colour strong = WHITE) const { return slot_[kind][strong]; }
    const EndgameRecognizer* selectFixed(const Position& pos) const;  // the signatures with few men
    const EndgameRecognizer* selectByPieces(const Position& pos) const;  // the fallback rule

    EndgameRecognizer default_;
    std::vector<std::unique_ptr<EndgameRecognizer>> kinds_;  // filled once at construction
    const EndgameRecognizer* slot_[KIND_COUNT][2];           // [kind][strong colour] into kinds_
};

}  // namespace zelmora
