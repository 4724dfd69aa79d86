#pragma once
// The recognizer kinds. A kind with a strong side is written for that side and serves both
// colours through SidedRecognizer; a kind without one reads both sides alike.

#include "eval/recognizer_support.h"

namespace zelmora::endgame {

// Draws and near-draws without pawns.

class DeadDraw final : public EndgameRecognizer {
public:
    DeadDraw() : EndgameRecognizer("DeadDraw") {}
    bool evaluate(const Position& pos, int& value) const override;
    bool evaluateQuiet(const Position& pos, int& value) const override;
    bool bound(const Position& pos, int& value, int alpha, int beta, int depth, int& depthAdjust) const override;
};

class TwoKnights final : public EndgameRecognizer {
public:
    TwoKnights() : EndgameRecognizer("TwoKnights") {}
    bool evaluate(const Position& pos, int& value) const override;
    bool evaluateQuiet(const Position& pos, int& value) const override;
    bool bound(const Position& pos, int& value, int alpha, int beta, int depth, int& depthAdjust) const override;
};

class EqualPieces final : public EndgameRecognizer {
public:
    EqualPieces() : EndgameRecognizer("EqualPieces") {}
    bool evaluate(const Position& pos, int& value) const override;
    bool evaluateQuiet(const Position& pos, int& value) const override;
    bool bound(const Position& pos, int& value, int alpha, int beta, int depth, int& depthAdjust) const override;
};

// Mating material against a bare king, and the queen against the rook.

class MajorVsKing final : public SidedRecognizer {
public:
    explicit MajorVsKing(Colour strong) : SidedRecognizer(strong, "MajorVsKing/White", "MajorVsKing/Black") {}
    bool evaluate(const Position& pos, int& value) const override;
    bool bound(const Position& pos, int& value, int alpha, int beta, int depth, int& depthAdjust) const override;
};

class QueenVsRook final : public SidedRecognizer {
public:
    explicit QueenVsRook(Colour strong) : SidedRecognizer(strong, "QueenVsRook/White", "QueenVsRook/Black") {}
    bool evaluate(const Position& pos, int& value) const override;
    bool bound(const Position& pos, int& value, int alpha, int beta, int depth, int& depthAdjust) const override;
};

class BishopKnightMate final : public SidedRecognizer {
public:
    explicit BishopKnightMate(Colour strong)
        : SidedRecognizer(strong, "BishopKnightMate/White", "BishopKnightMate/Black") {}
    bool evaluate(const Position& pos, int& value) const override;
    bool bound(const Position& pos, int& value, int alpha, int beta, int depth, int& depthAdjust) const override;

private:
    int matingTerm(const Position& pos) const;
};

// Pawns against a bare king or a lone piece.

class KingPawnVsKing final : public SidedRecognizer {
public:
    explicit KingPawnVsKing(Colour strong)
        : SidedRecognizer(strong, "KingPawnVsKing/White", "KingPawnVsKing/Black") {}
    bool evaluate(const Position& pos, int& value) const override;
    bool evaluateQuiet(const Position& pos, int& value) const override;
    bool bound(const Position& pos, int& value, int alpha, int beta, int depth, int& depthAdjust) const override;

private:
    int strongValue(const Position& pos) const;
};

class MinorPawnVsKing final : public SidedRecognizer {
public:
    explicit MinorPawnVsKing(Colour strong)
        : SidedRecognizer(strong, "MinorPawnVsKing/White", "MinorPawnVsKing/Black") {}
    bool evaluate(const Position& pos, int& value) const override;
    bool evaluateQuiet(const Position& pos, int& value) const override;
    bool bound(const Position& pos, int& value, int alpha, int beta, int depth, int& depthAdjust) const override;

private:
    bool drawnSetup(const Position& pos) const;
};

// The strong side here is the pawn's owner, the weak side holds the minor.
class PawnVsMinor final : public SidedRecognizer {
public:
    explicit PawnVsMinor(Colour strong) : SidedRecognizer(strong, "PawnVsMinor/White", "PawnVsMinor/Black") {}
    bool evaluate(const Position& pos, int& value) const override;
    bool evaluateQuiet(const Position& pos, int& value) const override;
    bool bound(const Position& pos, int& value, int alpha, int beta, int depth, int& depthAdjust) const override;

private:
    bool exposed(const Position& pos) const;
};

class TwoKnightsVsPawn final : public SidedRecognizer {
public:
    explicit TwoKnightsVsPawn(Colour strong)
        : SidedRecognizer(strong, "TwoKnightsVsPawn/White", "TwoKnightsVsPawn/Black") {}
    bool evaluate(const Position& pos, int& value) const override;
};

// Piece endings decided by how well the defender stands: rook against minor, two minors against
// a minor or rook, rook and minor against rook.
class DefenceRecognizer final : public SidedRecognizer {
public:
    DefenceRecognizer(Colour strong, const char* whiteName, const char* blackName, int weight, bool givesBounds)
        : SidedRecognizer(strong, whiteName, blackName), weight_(weight), givesBounds_(givesBounds) {}
    bool evaluate(const Position& pos, int& value) const override;
    bool evaluateQuiet(const Position& pos, int& value) const override;
    bool bound(const Position& pos, int& value, int alpha, int beta, int depth, int& depthAdjust) const override;

private:
    int strongValue(const Position& pos, int measure) const;
    bool secure(const Position& pos, int measure) const;

    const int weight_;
    const bool givesBounds_;
};

class RookMinorVsRookPawn final : public EndgameRecognizer {
public:
    RookMinorVsRookPawn(const char* name, int parameter) : EndgameRecognizer(name), parameter_(parameter) {}
    bool evaluate(const Position& pos, int& value) const override;
    int scale(const Position& pos, const Evaluator& evaluator, int value) const override;

private:
    const int parameter_;
};

class RookPawnVsRook final : public SidedRecognizer {
public:
    explicit RookPawnVsRook(Colour strong)
        : SidedRecognizer(strong, "RookPawnVsRook/White", "RookPawnVsRook/Black") {}
    bool evaluate(const Position& pos, int& value) const override;
};

class QueenMinorVsQueen final : public EndgameRecognizer {
public:
    QueenMinorVsQueen() : EndgameRecognizer("QueenMinorVsQueen") {}
    bool evaluate(const Position& pos, int& value) const override;
};

// Corrections of the normal evaluation.

class PawnEnding final : public EndgameRecognizer {
public:
    PawnEnding() : EndgameRecognizer("PawnEnding") {}
    bool bound(const Position& pos, int& value, int alpha, int beta, int depth, int& depthAdjust) const override;
    int scale(const Position& pos, const Evaluator& evaluator, int value) const override;
};

class BishopVsBishop final : public EndgameRecognizer {
public:
    BishopVsBishop() : EndgameRecognizer("BishopVsBishop") {}
    bool evaluate(const Position& pos, int& value) const override;
    bool evaluateQuiet(const Position& pos, int& value) const override;
    bool bound(const Position& pos, int& value, int alpha, int beta, int depth, int& depthAdjust) const override;
    int scale(const Position& pos, const Evaluator& evaluator, int value) const override;
};

class KnightVsKnight final : public EndgameRecognizer {
public:
    KnightVsKnight() : EndgameRecognizer("KnightVsKnight") {}
    int scale(const Position& pos, const Evaluator& evaluator, int value) const override;
};

class BishopVsKnight final : public EndgameRecognizer {
public:
    BishopVsKnight() : EndgameRecognizer("BishopVsKnight") {}
    int scale(const Position& pos, const Evaluator& evaluator, int value) const override;
};

class QueenVsQueen final : public EndgameRecognizer {
public:
    QueenVsQueen() : EndgameRecognizer("QueenVsQueen") {}
    int scale(const Position& pos, const Evaluator& evaluator, int value) const override;
};

class OneSidePawns final : public EndgameRecognizer {
public:
    OneSidePawns() : EndgameRecognizer("OneSidePawns") {}
    int scale(const Position& pos, const Evaluator& evaluator, int value) const override;
};

}  // namespace zelmora::endgame
