// Moves, take-backs and game ends as the interface sees them; the engine searches to a fixed depth.

#include <gtest/gtest.h>

#include <string>

#include "xboard_fixture.h"

namespace zelmora::test {
namespace {

using Lines = std::vector<std::string>;

TEST_F(XboardTest, APromotionTakesFiveCharactersAndOneBlank) {
    start();
    send({"force", "setboard 8/4P1k1/8/8/8/8/6K1/8 w - - 0 1", "usermove e7e8q", "usermove g7h6", "sd 1", "go"});
    EXPECT_EQ(lastPositionLine(), "position fen 8/4P1k1/8/8/8/8/6K1/8 w - - 0 1 moves e7e8q g7h6 ");
    ASSERT_EQ(answers().size(), 1u);
    EXPECT_EQ(answers()[0].rfind("move ", 0), 0u);
}

TEST_F(XboardTest, AnIllegalMoveIsRefusedAndLeavesTheGameAlone) {
    start();
    send({"force", "usermove e2e5", "usermove e7e5", "usermove e2e4", "usermove e2e4", "usermove Z9"});
    EXPECT_EQ(answers(), (Lines{"Illegal move: e2e5", "Illegal move: e7e5", "Illegal move: e2e4", "Illegal move: Z9"}));
    send({"sd 1", "go"});
    EXPECT_EQ(lastPositionLine(), "position startpos moves e2e4 ");
}

TEST_F(XboardTest, UndoAndRemoveTakeMovesBackInForceMode) {
    start();
    send({"force", "usermove e2e4", "usermove e7e5", "usermove g1f3", "undo", "usermove b1c3"});
    EXPECT_TRUE(answers().empty());
    send({"remove", "usermove d7d5", "remove", "remove", "undo", "usermove g2g3"});
    EXPECT_TRUE(answers().empty());  // every move was legal on the rebuilt board
    send({"sd 1", "go"});
    EXPECT_EQ(lastPositionLine(), "position startpos moves g2g3 ");
}

TEST_F(XboardTest, TheEngineMatesAndSaysSo) {
    start();
    send({"setboard 6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1", "sd 3", "go"});
    EXPECT_EQ(answers(), (Lines{"move a1a8", "1-0 {White mates}"}));
    // The thinking lines show depth, score, time, nodes and the line; a mate in one ply is 32766.
    ASSERT_FALSE(thinking().empty());
    const std::string last = thinking().back();
    EXPECT_NE(last.find(" 32766 "), std::string::npos) << last;
    EXPECT_EQ(last.substr(last.size() - 5), " a1a8") << last;
    clearTranscript();
    send("usermove g8h8");
    EXPECT_EQ(answers(), Lines{"Illegal move: g8h8"});
}

TEST_F(XboardTest, AUserMoveThatEndsTheGameStartsNoSearch) {
    start();
    const char* games[][3] = {
        {"setboard r5k1/5ppp/8/8/8/8/5PPP/6K1 b - - 0 1", "usermove a8a1", "0-1 {Black mates}"},
        {"setboard k7/8/8/2Q5/8/8/8/K7 w - - 0 1", "usermove c5b6", "1/2-1/2 {Stalemate}"},
        {"setboard 8/8/8/4k3/8/8/3n4/4K3 w - - 0 1", "usermove e1d2", "1/2-1/2 {Insufficient material}"},
        {"setboard 8/8/8/4k3/8/8/8/R3K3 w - - 99 80", "usermove a1a2", "1/2-1/2 {Draw by 50 move rule}"},
    };
    send("sd 1");
    for (const auto& game : games) {
        clearTranscript();
        send({game[0], game[1]});
        ASSERT_EQ(answers().size(), 1u) << game[0];
        EXPECT_EQ(answers()[0].substr(0, std::string(game[2]).size()), game[2]) << game[0];
    }
}

TEST_F(XboardTest, TheThirdRepetitionEndsTheGame) {
    start();
    send("force");
    for (const char* move : {"g1f3", "g8f6", "f3g1", "f6g8", "g1f3", "g8f6", "f3g1"}) {
        send(std::string("usermove ") + move);
    }
    EXPECT_TRUE(answers().empty());
    send("usermove f6g8");
    EXPECT_EQ(answers(), Lines{"1/2-1/2 {Draw by repetition}"});
}

TEST_F(XboardTest, ADrawOfferIsTakenOnceFourScoresAreKnown) {
    start();
    // Black, clearly worse but far from resigning, answers White's rook shuffling.
    send({"setboard 7k/6pp/8/8/8/8/8/R1K5 w - - 0 1", "sd 3"});
    for (const char* move : {"a1b1", "b1a1", "a1b1", "b1a1"}) send(std::string("usermove ") + move);
    const Lines before = answers();
    ASSERT_EQ(before.size(), 4u);
    send({"draw", "usermove a1b1"});
    ASSERT_EQ(answers().size(), 6u);
    EXPECT_EQ(answers()[4], "offer draw");
    send("usermove b1a1");
    EXPECT_EQ(answers().size(), 7u);  // the offer counted once
}

TEST_F(XboardTest, AHopelessGameIsResignedOnceFourScoresSaySo) {
    start();
    // Black's bare king against two queens; White's king walks, so no position repeats.
    send({"setboard 7k/8/8/8/8/8/2QQ4/K7 w - - 0 1", "sd 2"});
    int moves = 0;
    for (const char* walk : {"a1b1", "b1c1", "c1d1", "d1e1", "e1f1", "f1g1"}) {
        clearTranscript();
        send(std::string("usermove ") + walk);
        ASSERT_EQ(answers().size(), answers().back() == "resign" ? 2u : 1u) << walk;
        EXPECT_EQ(answers()[0].rfind("move ", 0), 0u) << walk;
        ++moves;
        if (answers().back() == "resign") break;
    }
    EXPECT_EQ(answers().back(), "resign");
    EXPECT_GE(moves, 4);  // four scores first, and the fourth or fifth no better than the one before
    EXPECT_LE(moves, 5);
}

TEST_F(XboardTest, Chess960CastlingGoesBothWays) {
    start();
    // King c1 between rooks b1 and f1: O-O puts it on g1 past its own rook.
    send({"variant fischerandom", "force", "setboard 1rk2r2/pppppppp/8/8/8/8/PPPPPPPP/1RK2R2 w FBfb - 0 1",
          "usermove O-O", "usermove O-O-O", "sd 1", "go"});
    EXPECT_EQ(lastPositionLine().rfind("position fen 1rk2r2/pppppppp/8/8/8/8/PPPPPPPP/1RK2R2 w FBfb - 0 1 moves ", 0), 0u)
        << lastPositionLine();
    ASSERT_EQ(answers().size(), 1u);
    EXPECT_EQ(answers()[0].rfind("move ", 0), 0u);
    // Only castling mates: the king on b1 keeps the rook from reaching d1 by itself. A position
    // given with file letters for the castling rights (as xboard sends them) gets the king
    // taking its rook, which xboard reads as castling; X-FEN letters get O-O-O.
    const char* const castlings[][2] = {{"A", "move b1a1"}, {"Q", "move O-O-O"}};
    for (const auto& [rights, move] : castlings) {
        clearTranscript();
        send({"new", "variant fischerandom", "force",
              (std::string("setboard 2rkr3/2p1p3/8/8/8/8/2P5/RK6 w ") + rights + " - 0 1").c_str(), "sd 2", "go"});
        EXPECT_EQ(answers(), (Lines{move, "1-0 {White mates}"})) << rights;
    }
}

}  // namespace
}  // namespace zelmora::test
