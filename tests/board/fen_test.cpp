#include <random>

#include "board/perft.h"
#include "board_helpers.h"

namespace zelmora::test {
namespace {

const char* const START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";

bool accepted(const char* fen) {
    Position pos;
    return pos.setFen(fen) != nullptr;
}

TEST(Fen, StartPositionAndChess960Numbering) {
    Position classical;
    EXPECT_EQ(fenOf(classical), START);
    EXPECT_EQ(classical.side[WHITE].castleEmptyKingSide, bit(61) | bit(62));
    EXPECT_EQ(classical.side[WHITE].castleEmptyQueenSide, bit(57) | bit(58) | bit(59));
    EXPECT_EQ(classical.side[BLACK].castleSafeKingSide, bit(4) | bit(5) | bit(6));
    EXPECT_EQ(classical.side[BLACK].castleSafeQueenSide, bit(2) | bit(3) | bit(4));

    Position pos;
    ASSERT_TRUE(pos.setChess960(518));
    EXPECT_EQ(fenOf(pos), START);
    EXPECT_EQ(pos.key, classical.key);
    EXPECT_EQ(pos.chess960Castling, 0);
    ASSERT_TRUE(pos.setChess960(0));
    EXPECT_EQ(fenOf(pos), "bbqnnrkr/pppppppp/8/8/8/8/PPPPPPPP/BBQNNRKR w KQkq -");
    EXPECT_EQ(pos.chess960Castling, 1);
    ASSERT_TRUE(pos.setChess960(959 + 960));
    EXPECT_EQ(fenOf(pos), "rkrnnqbb/pppppppp/8/8/8/8/PPPPPPPP/RKRNNQBB w KQkq -");
    EXPECT_EQ(pos.side[WHITE].rookSquareQueenSide, 56);
    EXPECT_EQ(pos.side[WHITE].rookSquareKingSide, 58);
    // King on b1: the queen-side path is b1-c1 and c1, d1 must be empty.
    EXPECT_EQ(pos.side[WHITE].castleSafeQueenSide, bit(57) | bit(58));
    EXPECT_EQ(pos.side[WHITE].castleEmptyQueenSide, bit(58) | bit(59));
}

TEST(Fen, RejectsImpossibleBoards) {
    EXPECT_TRUE(accepted("8/8/8/8/8/8/8/K6k w - -"));
    EXPECT_TRUE(accepted("k1K w - -"));  // undescribed squares stay empty
    for (const char* fen : {"8/8/8/8/8/8/8/K7 w - -", "8/8/8/8/8/8/8/KK5k w - -", "4k3/8/8/8/P7/8/PPPPPPPP/4K3 w - -",
                            "4k3/8/8/8/8/8/PPPPPPP1/P3K3 w - -", "P3k3/8/8/8/8/8/8/4K3 w - -",
                            "4k2R/8/8/8/8/8/8/4K3 w - -",  // the side not to move in check
                            "4k3/8/8/8/8/8/8/4K3/8 w - -", "4k4/8/8/8/8/8/8/4K3 w - -", "4k3/8/8/8/8/8/8/4K3",
                            "4k3/8/8/8/8/8/8/4K3 x - -", "4k3/8/8/8/8/8/8/4K3 w KX -", "4k3/8/8/8/8/8/8/4K3 w - e9"})
        EXPECT_FALSE(accepted(fen)) << fen;
}

TEST(Fen, EnPassantField) {
    EXPECT_FALSE(accepted("4k3/8/8/8/4P3/8/8/4K3 w - e3"));  // rank 3 needs Black to move
    Position pos = fromFen("4k3/8/8/4p3/8/8/8/4K3 w - e6");
    EXPECT_EQ(pos.epSquare, 20);
    EXPECT_EQ(pos.lastMoveSquares, bit(12) | bit(28));
    EXPECT_FALSE(accepted("4k3/4p3/8/4p3/8/8/8/4K3 w - e6"));  // both squares hold a Black piece
    // The square is kept without a capturing pawn and is part of the key.
    EXPECT_NE(pos.key, fromFen("4k3/8/8/4p3/8/8/8/4K3 w - -").key);
}

TEST(Fen, CastlingFields) {
    // Rights without their rook are dropped silently, also with the king in the corner.
    EXPECT_EQ(fromFen("4k3/8/8/8/8/8/8/4K2R w KQ -").castlingRights, WHITE_KING_SIDE);
    EXPECT_EQ(fromFen("4k3/8/8/8/8/8/8/R6K w KQ -").castlingRights, WHITE_QUEEN_SIDE);
    // A king off e1 with classical rook letters is Chess960 castling.
    Position pos = fromFen("r4k1r/8/8/8/8/8/8/R4K1R w KQkq -");
    EXPECT_EQ(pos.castlingRights, 15);
    EXPECT_EQ(pos.chess960Castling, 1);
    EXPECT_EQ(pos.castlingByFile, 0);
    // File letters alone name the rooks.
    pos = fromFen("1r2k1r1/8/8/8/8/8/8/1R2K1R1 w GBgb -");
    EXPECT_EQ(pos.castlingRights, 15);
    EXPECT_EQ(pos.castlingByFile, 1);
    EXPECT_EQ(pos.side[WHITE].rookSquareKingSide, 62);
    EXPECT_EQ(pos.side[BLACK].rookSquareQueenSide, 1);
    // The inner of two rooks is written with its file.
    pos = fromFen("4k3/8/8/8/8/8/8/4K1RR w Kg -");
    EXPECT_EQ(pos.side[WHITE].rookSquareKingSide, 62);
    EXPECT_EQ(fenOf(pos), "4k3/8/8/8/8/8/8/4K1RR w Kg -");
    // Without the file the outermost rook castles.
    EXPECT_EQ(fromFen("4k3/8/8/8/8/8/8/4K1RR w K -").side[WHITE].rookSquareKingSide, 63);
    // Both colours castling need their kings on one file.
    EXPECT_FALSE(accepted("r2k3r/8/8/8/8/8/8/R3K2R w KQkq -"));
}

// Garbage never crashes the reader and never lets a broken record through.
TEST(Fen, SurvivesGarbage) {
    std::mt19937 rng(23);
    const std::string alphabet = "pnbrqkPNBRQK12345678/ wb-KQkqabcdefgh36\t\xE4";
    for (int i = 0; i < 10000; ++i) {
        std::string text;
        const int length = int(rng() % 80);
        for (int j = 0; j < length; ++j)
            text += rng() % 4 ? alphabet[rng() % alphabet.size()] : char(rng() % 256);
        Position pos;
        if (pos.setFen(text.c_str())) {
            ASSERT_EQ(popCount(pos.side[WHITE].pieces[KING]), 1);
            ASSERT_EQ(popCount(pos.side[BLACK].pieces[KING]), 1);
            ASSERT_EQ(perft(pos, 1), legalMoves(pos).size());
        }
    }
    std::string longLine(40000, '8');
    Position pos;
    EXPECT_EQ(pos.setFen(longLine.c_str()), nullptr);
}

}  // namespace
}  // namespace zelmora::test
