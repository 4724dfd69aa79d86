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
};

class RecognizerRegistry {
public:
    RecognizerRegistry();
    RecognizerRegistry(const RecognizerRegistry&) = delete;
    RecognizerRegistry& operator=(const RecognizerRegistry&) = delete;

    // The recognizer for the position's material; defaultRecognizer() when none applies.
    const EndgameRecognizer* select(const Position& pos) const;
    const EndgameRecognizer* defaultRecognizer() const { return &default_; }

private:
    EndgameRecognizer default_;
    std::vector<std::unique_ptr<EndgameRecognizer>> kinds_;  // filled once at construction
};

}  // namespace zelmora
