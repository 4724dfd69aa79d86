
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

    Position pos;
    ASSERT_TRUE(pos.setChess960(518));
    EXPECT_EQ(fenOf(pos), START);
    EXPECT_EQ(pos.key(), classical.key());
    EXPECT_EQ(pos.chess960Castling, 0);
    ASSERT_TRUE(pos.setChess960(0));
    EXPECT_EQ(fenOf(pos), "bbqnnrkr/pppppppp/8/8/8/8/PPPPPPPP/BBQNNRKR w KQkq -");
    EXPECT_EQ(pos.chess960Castling, 1);
    ASSERT_TRUE(pos.setChess960(959 + 960));
    EXPECT_EQ(fenOf(pos), "rkrnnqbb/pppppppp/8/8/8/8/PPPPPPPP/RKRNNQBB w KQkq -");
    EXPECT_EQ(pos.side(WHITE).rookSquareQueenSide, 56);
    EXPECT_EQ(pos.side(WHITE).rookSquareKingSide, 58);
    // King on b1: the queen-side path is b1-c1 and c1, d1 must be empty.
    EXPECT_EQ(pos.side(WHITE).castleSafeQueenSide, bit(57) | bit(58));
    EXPECT_EQ(pos.side(WHITE).castleEmptyQueenSide, bit(58) | bit(59));
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
    EXPECT_EQ(pos.epSquare(), 20);
    EXPECT_EQ(pos.lastMoveSquares(), bit(12) | bit(28));
    EXPECT_FALSE(accepted("4k3/4p3/8/4p3/8/8/8/4K3 w - e6"));  // both squares hold a Black piece
    // The square is kept without a capturing pawn and is part of the key.
    EXPECT_NE(pos.key(), fromFen("4k3/8/8/4p3/8/8/8/4K3 w - -").key());
}

TEST(Fen, CastlingFields) {
    // Rights without their rook are dropped silently, also with the king in the corner.
    EXPECT_EQ(fromFen("4k3/8/8/8/8/8/8/4K2R w KQ -").castlingRights(), WHITE_KING_SIDE);
    EXPECT_EQ(fromFen("4k3/8/8/8/8/8/8/R6K w KQ -").castlingRights(), WHITE_QUEEN_SIDE);
    // A king off e1 with classical rook letters is Chess960 castling.
    Position pos = fromFen("r4k1r/8/8/8/8/8/8/R4K1R w KQkq -");
    EXPECT_EQ(pos.castlingRights(), 15);
    EXPECT_EQ(pos.chess960Castling, 1);
    EXPECT_EQ(pos.castlingByFile, 0);
    // File letters alone name the rooks.
    pos = fromFen("1r2k1r1/8/8/8/8/8/8/1R2K1R1 w GBgb -");
    EXPECT_EQ(pos.castlingRights(), 15);
    EXPECT_EQ(pos.castlingByFile, 1);
    EXPECT_EQ(pos.side(WHITE).rookSquareKingSide, 62);
    EXPECT_EQ(pos.side(BLACK).rookSquareQueenSide, 1);
    // The inner of two rooks is written with its file.
    pos = fromFen("4k3/8/8/8/8/8/8/4K1RR w Kg -");
    EXPECT_EQ(pos.side(WHITE).rookSquareKingSide, 62);
    EXPECT_EQ(fenOf(pos), "4k3/8/8/8/8/8/8/4K1RR w Kg -");
    // Without the file the outermost rook castles.
    EXPECT_EQ(fromFen("4k3/8/8/8/8/8/8/4K1RR w K -").side(WHITE).rookSquareKingSide, 63);
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
            ASSERT_EQ(popCount(pos.side(WHITE).pieces[KING]), 1);
            ASSERT_EQ(popCount(pos.side(BLACK).pieces[KING]), 1);
            ASSERT_EQ(perft(pos, 1), legalMoves(pos).size());
        }
    }
    std::string longLine(40000, '8');
    Position pos;
    EXPECT_EQ(pos.setFen(longLine.c_str()), nullptr);
}

void play(GameRecord& game, const char* moves) {
    std::istringstream in(moves);
    for (std::string move; in >> move;) game.playMove(parseMove(game.position, move));
}

TEST(GameRecord, FenCountersAndTheFiftyMoveRule) {
    GameRecord game;
    ASSERT_TRUE(game.setFen("4k3/8/8/8/8/8/8/R3K3 w - - 10 40"));
    char fen[128];
    EXPECT_STREQ(game.getFen(fen), "4k3/8/8/8/8/8/8/R3K3 w - - 10 6");
    ASSERT_TRUE(game.setFen("4k3/8/8/8/8/8/8/R3K3 w - - 99 80"));
    EXPECT_EQ(game.keyCount, 100);
    EXPECT_EQ(game.claimableDraw(), NO_DRAW);
    play(game, "a1a2");
    EXPECT_EQ(game.keyCount, 101);
    EXPECT_EQ(game.claimableDraw(), FIFTY_MOVES);
    play(game, "e8d8");
    EXPECT_EQ(game.keyCount, 101);  // full: nothing more is stored
    ASSERT_TRUE(game.setFen("4k3/8/8/8/8/8/8/R3K3 w - - 150 1"));
    EXPECT_EQ(game.keyCount, 1);
    // A pawn move or a capture starts the count again.
    ASSERT_TRUE(game.setFen("4k3/8/8/8/8/8/P7/R3K3 w - - 30 1"));
    play(game, "a2a3");
    EXPECT_EQ(game.keyCount, 1);
    // A rejected FEN changes nothing.
    EXPECT_FALSE(game.setFen("garbage"));
    EXPECT_STREQ(game.getFen(fen), "4k3/8/8/8/8/P7/8/R3K3 b - - 0 1");
}

TEST(GameRecord, Repetitions) {
    GameRecord game;
    play(game, "g1f3 g8f6 f3g1 f6g8");
    EXPECT_EQ(game.claimableDraw(), NO_DRAW);  // the start position stands there twice
    EXPECT_EQ(game.searchDraw(game.position), REPETITION);
    play(game, "g1f3 g8f6 f3g1");
    EXPECT_EQ(game.claimableDraw(), NO_DRAW);
    play(game, "f6g8");
    EXPECT_EQ(game.claimableDraw(), REPETITION);

    // In the tree: a position met once before in the game gives 1.
    GameRecord other;
    play(other, "e2e4 e7e5 g1f3");
    Position tree = other.position;
    UndoRecord undo;
    for (const char* move : {"b8c6", "f3g1", "c6b8"}) ASSERT_TRUE(tree.makeLegal(parseMove(tree, move), undo));
    EXPECT_EQ(other.searchDraw(tree), SEEN_BEFORE);
    // Castling rights lost make a different position.
    GameRecord rights;
    play(rights, "e2e4 e7e5 e1e2 e8e7 e2e1 e7e8 e1e2 e8e7 e2e1 e7e8");
    EXPECT_EQ(rights.claimableDraw(), NO_DRAW);  // the first of these had castling rights
    play(rights, "e1e2 e8e7 e2e1 e7e8");
    EXPECT_EQ(rights.claimableDraw(), REPETITION);
}

TEST(GameRecord, InsufficientMaterialAndDeadPositions) {
    auto draw = [](const char* fen) { return materialDraw(fromFen(fen)); };
    EXPECT_EQ(draw("4k3/8/8/8/8/8/8/4K3 w - -"), INSUFFICIENT_MATERIAL);
    EXPECT_EQ(draw("4k3/8/8/8/8/8/8/4KN2 w - -"), INSUFFICIENT_MATERIAL);
    EXPECT_EQ(draw("4k3/8/8/8/8/8/8/3NKN2 w - -"), NO_DRAW);          // two knights
    EXPECT_EQ(draw("4kb2/8/8/8/8/8/8/2B1K3 w - -"), INSUFFICIENT_MATERIAL);  // bishops on one colour
    EXPECT_EQ(draw("4k1b1/8/8/8/8/8/8/2B1K3 w - -"), NO_DRAW);          // opposite colours
    EXPECT_EQ(draw("4k3/8/8/8/8/8/8/4KR2 w - -"), NO_DRAW);
    // A locked pawn chain that neither king can get around.
    EXPECT_EQ(draw("8/4k3/8/p1p1p1p1/P1P1P1P1/8/4K3/8 w - -"), DEAD_POSITION);
    EXPECT_EQ(draw("8/4k3/8/p1p1p3/P1P1P1P1/8/4K3/8 w - -"), NO_DRAW);  // the g4 pawn is free
    EXPECT_EQ(draw("8/4k3/8/p1p1p3/P1P1P3/8/4K3/8 w - -"), NO_DRAW);    // the king walks round by g4
}

}  // namespace
}  // namespace zelmora::test
