#include <algorithm>
#include <random>

#include "board_helpers.h"

namespace zelmora::test {
namespace {

Move read(const Position& pos, const char* text, bool coordinateForm = false) {
    Move m = NO_MOVE;
    return textToMove(pos, text, m, coordinateForm) ? m : NO_MOVE;
}

std::string german(const Position& pos, Move m) {
    char buffer[32];
    return moveToText(pos, m, MoveStyle::GERMAN, buffer);
}

TEST(Notation, ReaderFormsAndDecorations) {
    Position start;
    const Move nf3 = makeMove(62, 45, KNIGHT);
    for (const char* text : {"Nf3", "Sf3", "Ng1-f3", "Nf3!", " Nf3 ", "Ngf3", "N1f3", "Nf3?!", "Sg1f3"})
        EXPECT_EQ(read(start, text), nf3) << text;
    EXPECT_EQ(read(start, "g1f3", true), nf3);
    EXPECT_EQ(read(start, "e2e4"), makeMove(52, 36, PAWN));  // long algebraic pawn move
    EXPECT_EQ(read(start, "e4"), makeMove(52, 36, PAWN));
    for (const char* text : {"Nf3+", "Nf3#", "Nf3++", "Nf3!!!", "Nxf3", "Nf4", "e5", "Kf3", "f", "Qd1d1",
                             "Nf3e.p.", "g1f3k", "O-O", "xx", "Nf3 + +"})
        EXPECT_EQ(read(start, text, true), NO_MOVE) << text;

    // En passant with and without its mark.
    Position pos = fromFen("4k3/8/8/3pP3/8/8/8/4K3 w - d6");
    const Move ep = makeMove(28, 19, PAWN);
    for (const char* text : {"exd6", "exd6 e.p.", "exd6e.p.", "exd6ep", "exd6 e. p.", "e5xd6"})
        EXPECT_EQ(read(pos, text), ep) << text;
    EXPECT_EQ(read(pos, "e5d6", true), ep);
    EXPECT_EQ(read(pos, "e5d6"), NO_MOVE);  // a capture needs its x
    EXPECT_EQ(read(pos, "exd6 e.p. ep"), NO_MOVE);

    // Promotions need their piece; check and mate marks must be true.
    pos = fromFen("k7/4P3/1K6/8/8/8/8/8 w - -");
    EXPECT_EQ(read(pos, "e8=Q"), makeMove(12, 4, PAWN, QUEEN));
    EXPECT_EQ(read(pos, "e8D#"), makeMove(12, 4, PAWN, QUEEN));
    EXPECT_EQ(read(pos, "e7e8n", true), makeMove(12, 4, PAWN, KNIGHT));
    EXPECT_EQ(read(pos, "e8/S"), makeMove(12, 4, PAWN, KNIGHT));
    EXPECT_EQ(read(pos, "e8"), NO_MOVE);
    EXPECT_EQ(read(pos, "e7e8", true), NO_MOVE);
    EXPECT_EQ(read(pos, "e8=S+"), NO_MOVE);  // the knight gives no check
    EXPECT_EQ(read(pos, "e8=R#"), makeMove(12, 4, PAWN, ROOK));
}

TEST(Notation, CastlingText) {
    Position pos = fromFen("4k3/8/8/8/8/8/8/R3K2R w Q -");
    EXPECT_EQ(read(pos, "O-O"), NO_MOVE);
    EXPECT_EQ(read(pos, "e1g1", true), NO_MOVE);
    EXPECT_EQ(read(pos, "O-O-O"), makeMove(60, 56, KING));
    EXPECT_EQ(read(pos, "0-0-0"), makeMove(60, 56, KING));
    EXPECT_EQ(read(pos, "e1c1", true), makeMove(60, 56, KING));
    EXPECT_EQ(read(pos, "Kc1"), makeMove(60, 56, KING));
    EXPECT_EQ(coordinate(pos, makeMove(60, 56, KING)), "e1c1");
    EXPECT_EQ(german(pos, makeMove(60, 56, KING)), "0-0-0");

    // Chess960 castling is written as O-O / O-O-O and read in every form.
    pos = fromFen("1k6/8/8/8/8/8/8/RK5R w KQ -");
    ASSERT_EQ(pos.chess960Castling, 1);
    EXPECT_EQ(coordinate(pos, makeMove(57, 56, KING)), "O-O-O");
    EXPECT_EQ(coordinate(pos, makeMove(57, 63, KING)), "O-O");
    EXPECT_EQ(read(pos, "b1a1", true), makeMove(57, 56, KING));
    EXPECT_EQ(read(pos, "b1h1", true), makeMove(57, 63, KING));
    EXPECT_EQ(read(pos, "O-O"), makeMove(57, 63, KING));
    // Named by file letters, castling stays king-takes-rook.
    pos = fromFen("1k6/8/8/8/8/8/8/RK5R w HA -");
    EXPECT_EQ(coordinate(pos, makeMove(57, 63, KING)), "b1h1");
}

TEST(Notation, GermanWriter) {
    Position pos = fromFen("4k3/8/8/8/8/8/8/4K1N1 w - -");
    EXPECT_EQ(german(pos, makeMove(62, 45, KNIGHT)), "Sf3");
    pos = fromFen("8/8/8/4k3/8/8/8/4K1N1 w - -");
    EXPECT_EQ(german(pos, makeMove(62, 45, KNIGHT)), "Sf3+");
    pos = fromFen("4k3/P7/8/8/8/8/8/4K3 w - -");
    EXPECT_EQ(german(pos, makeMove(8, 0, PAWN, QUEEN)), "a8D+");
    pos = fromFen("4k3/8/8/3pP3/8/8/8/4K3 w - d6");
    EXPECT_EQ(german(pos, makeMove(28, 19, PAWN)), "exd6 e.p.");
    pos = fromFen("4k3/8/8/8/8/8/4K3/R6R w - -");
    EXPECT_EQ(german(pos, makeMove(56, 59, ROOK)), "Tad1");
    pos = fromFen("4k3/8/8/R7/8/8/8/R3K3 w - -");
    EXPECT_EQ(german(pos, makeMove(56, 40, ROOK)), "T1a3");
    EXPECT_EQ(german(fromFen("7k/8/5KQ1/8/8/8/8/8 w - -"), makeMove(22, 14, QUEEN)), "Dg7#");
}

TEST(Notation, ReaderSurvivesGarbage) {
    std::mt19937 rng(31);
    const std::string alphabet = "abcdefgh12345678NBRQKSLTDxX-=/+#!?e.p O0";
    Position pos;
    for (int i = 0; i < 20000; ++i) {
        std::string text;
        const int length = int(rng() % 12);
        for (int j = 0; j < length; ++j) text += rng() % 8 ? alphabet[rng() % alphabet.size()] : char(rng() % 256);
        Move m = NO_MOVE;
        if (textToMove(pos, text.c_str(), m, i % 2)) {
            const std::vector<Move> legal = legalMoves(pos);
            ASSERT_NE(std::find(legal.begin(), legal.end(), m), legal.end()) << text;
        }
    }
}

}  // namespace
}  // namespace zelmora::test
