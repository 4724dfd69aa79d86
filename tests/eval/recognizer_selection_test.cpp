#include "eval_test_support.h"

namespace zelmora::test {
namespace {

struct Case {
    const char* fen;
    const char* kind;
};

// One position per rule, White's version; each is also checked colour-mirrored.
const Case CASES[] = {
    // Six men.
    {"4k2r/p7/8/8/8/8/8/R1B1K3 w - -", "RookMinorVsRookPawn/+100"},
    {"4k3/p7/8/8/8/8/PP6/2B1K3 w - -", "MinorPawnVsKing/White"},
    {"4k3/8/8/8/8/8/PPP5/2B1K3 w - -", "MinorPawnVsKing/White"},
    {"4k3/p7/8/8/8/8/PP6/1N2K3 w - -", "Default"},  // a knight with the three pawns: no rule
    {"4k3/8/8/8/8/8/8/RNBQK3 w - -", "Default"},
    // Five men.
    {"4k2r/8/8/8/8/8/P7/R3K3 w - -", "RookPawnVsRook/White"},
    {"4k2r/8/8/8/8/8/8/RN2K3 w - -", "RookMinorVsRook/White"},
    {"4k2r/8/8/8/8/8/8/R2QK3 w - -", "Default"},
    {"4k3/8/8/8/8/8/8/RNB1K3 w - -", "Default"},
    {"4k3/p7/8/8/8/8/8/R3K1n1 w - -", "RookMinorVsRookPawn/+100"},
    {"3qk1n1/8/8/8/8/8/8/3QK3 w - -", "QueenMinorVsQueen"},
    {"4k1n1/8/8/8/8/8/8/1NB1K3 w - -", "TwoMinorsVsPiece/White"},
    {"4kb2/p7/8/8/8/8/P7/4K3 w - -", "MinorPawnVsKing/Black"},
    {"4kb2/pp6/8/8/8/8/8/4K3 w - -", "MinorPawnVsKing/Black"},
    {"4k2r/8/8/8/8/8/8/1NB1K3 w - -", "TwoMinorsVsPiece/White"},
    {"4k3/p7/8/8/8/8/8/1NN1K3 w - -", "TwoKnightsVsPawn/White"},
    {"4k3/p7/8/8/8/8/8/1NB1K3 w - -", "OneSidePawns"},
    {"4kb2/8/8/8/8/8/P7/1N2K3 w - -", "BishopVsKnight"},
    // Four men.
    {"4kb2/8/8/8/8/8/8/1N2K3 w - -", "DeadDraw"},
    {"4k2r/8/8/8/8/8/8/R3K3 w - -", "EqualPieces"},
    {"3qk3/8/8/8/8/8/8/3QK3 w - -", "EqualPieces"},
    {"4k2r/8/8/8/8/8/8/3QK3 w - -", "QueenVsRook/White"},
    {"4kb2/8/8/8/8/8/8/R3K3 w - -", "RookVsMinor/White"},
    {"4k1n1/8/8/8/8/8/P7/4K3 w - -", "PawnVsMinor/White"},
    {"4k1n1/8/8/8/8/8/8/3QK3 w - -", "Default"},
    {"4k3/p7/8/8/8/8/8/R3K3 w - -", "OneSidePawns"},
    {"4k3/p7/8/8/8/8/P7/4K3 w - -", "PawnEnding"},
    {"4k3/8/8/8/8/8/8/1NN1K3 w - -", "TwoKnights"},
    {"4k3/8/8/8/8/8/8/1NB1K3 w - -", "BishopKnightMate/White"},
    {"4k3/8/8/8/8/8/P7/1N2K3 w - -", "MinorPawnVsKing/White"},
    {"4k3/8/8/8/8/8/8/2BBK3 w - -", "Default"},
    // Three and two men.
    {"4k3/8/8/8/8/8/8/1N2K3 w - -", "DeadDraw"},
    {"4k3/8/8/8/8/8/P7/4K3 w - -", "KingPawnVsKing/White"},
    {"4k3/8/8/8/8/8/8/R3K3 w - -", "MajorVsKing/White"},
    {"4k3/8/8/8/8/8/8/3QK3 w - -", "MajorVsKing/White"},
    {"4k3/8/8/8/8/8/8/4K3 w - -", "DeadDraw"},
    // Any material.
    {"4k3/pp6/8/8/8/8/PPP5/4K3 w - -", "PawnEnding"},
    {"4kb2/pp6/8/8/8/8/PP6/2B1K3 w - -", "BishopVsBishop"},
    {"4k1n1/pp6/8/8/8/8/PP6/1N2K3 w - -", "KnightVsKnight"},
    {"4kb2/pp6/8/8/8/8/PP6/1N2K3 w - -", "BishopVsKnight"},
    {"3qk3/pp6/8/8/8/8/PP6/3QK3 w - -", "QueenVsQueen"},
    {"4k2r/pp6/8/8/8/8/PP6/R3K3 w - -", "Default"},
    {"4k2r/8/8/8/8/8/PP6/R3K3 w - -", "OneSidePawns"},
    {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w - -", "Default"},
};

TEST(RecognizerSelection, EveryRuleForBothColours) {
    const RecognizerRegistry registry;
    for (const Case& c : CASES) {
        const Position pos = positionOf(c.fen);
        EXPECT_STREQ(registry.select(pos)->name(), c.kind) << c.fen;
        const std::string mirrored = mirror(c.fen);
        EXPECT_EQ(registry.select(positionOf(mirrored))->name(), mirrorName(c.kind)) << mirrored;
    }
}

TEST(RecognizerSelection, DefaultIsTheRegistrysOwnEntryAndChoicesAreStable) {
    const RecognizerRegistry registry;
    EXPECT_EQ(registry.select(positionOf("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w - -")),
              registry.defaultRecognizer());
    // The material cache keys the choice by counts only: another placement gives the same object.
    EXPECT_EQ(registry.select(positionOf("4k3/8/8/8/8/8/P7/4K3 w - -")),
              registry.select(positionOf("8/3k4/8/8/8/1P6/8/6K1 b - -")));
    EXPECT_NE(registry.select(positionOf("4k3/8/8/8/8/8/P7/4K3 w - -")),
              registry.select(positionOf(mirror("4k3/8/8/8/8/8/P7/4K3 w - -"))));
}

}  // namespace
}  // namespace zelmora::test
