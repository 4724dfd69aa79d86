#include <gtest/gtest.h>

#include <string>

#include "support/protocol_fixture.h"

namespace zelmora {
namespace {

using PositionCommand = test::ProtocolTest;

const std::string START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq";
const std::string KIWIPETE = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1";

TEST_F(PositionCommand, StartposWithMovesPlaysThemInOrder) {
    send("position startpos moves e2e4 e7e5 g1f3");
    EXPECT_EQ(placement(), "rnbqkbnr/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq");
    EXPECT_EQ(engine.game.halfmoveClock(), 1);
    send("position startpos");
    EXPECT_EQ(placement(), START);
    send("position   startpos   moves   d2d4\t d7d5  ");
    EXPECT_EQ(placement(), "rnbqkbnr/ppp1pppp/8/3p4/3P4/8/PPP1PPPP/RNBQKBNR w KQkq");
    EXPECT_TRUE(lines().empty());
}

TEST_F(PositionCommand, FenWithCountersMovesAndBothCastlingSpellings) {
    send("position fen " + KIWIPETE + " moves e1g1");
    const std::string castled = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R4RK1 b kq";
    EXPECT_EQ(placement(), castled);
    send("position fen " + KIWIPETE + " moves O-O");
    EXPECT_EQ(placement(), castled);
    send("position fen " + KIWIPETE + " moves O-O-O e8c8");
    EXPECT_EQ(placement(), "2kr3r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/2KR3R w -");
    send("position fen 8/8/8/8/8/8/8/8 w - - 0 1");  // no kings
    EXPECT_EQ(placement(), START);
    send("position fen 4k3/8/8/8/8/8/8/4K3 b - -");  // counters may be left out
    EXPECT_EQ(placement(), "4k3/8/8/8/8/8/8/4K3 b -");
    EXPECT_TRUE(lines().empty());
}

TEST_F(PositionCommand, MoveTokensAndIllegalMoves) {
    send("position fen 8/4P3/8/8/8/8/k7/4K3 w - - 0 1 moves e7e8n");
    EXPECT_EQ(placement(), "4N3/8/8/8/8/8/k7/4K3 b -");
    send("position startpos moves e2e4 e7e5 e4e5 g1f3");
    EXPECT_EQ(placement(), "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq");
    EXPECT_TRUE(lines().empty());  // messages are for debug mode only
    output.setDebug(true);
    // Four move characters followed by a letter form one token, which is no move.
    send("position startpos moves e2e4e7e5");
    EXPECT_EQ(placement(), START);
    // A bad move keeps the ones before it; the token is cut at five characters.
    send("position startpos moves e2e4 xx e7e5");
    EXPECT_EQ(placement(), "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq");
    EXPECT_EQ(lines(), (std::vector<std::string>{"info string position: Ung\xFCltiger Zug:  e2e4e",
                                                 "info string position: Ung\xFCltiger Zug:  xx e"}));
}

TEST_F(PositionCommand, BadFensFallBackToTheStartPosition) {
    const char* bad[] = {
        "rnbqkbnr/pppppppp/8/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",  // nine ranks
        "KKKKKKKK/K7/8/8/8/8/8/7k w - - 0 1",                          // nine kings
        "P3k3/8/8/8/8/8/8/4K3 w - - 0 1",                              // pawn on the back rank
        "4k3/8/8/8/8/8/8/4K2p b - - 0 1",
        "9/8/8/8/8/8/8/8 w - - 0 1",
        "\xE4\xFC garbage",
    };
    output.setDebug(true);
    for (const char* fen : bad) {
        send("position startpos moves e2e4");
        out.clear();
        send(std::string("position fen ") + fen + " moves d2d4");
        EXPECT_EQ(placement(), START) << fen;
        EXPECT_EQ(lines(), std::vector<std::string>{std::string("info string position: Ung\xFCltiger FEN-String:  ") +
                                                    fen + " moves d2d4"});
    }
}

TEST_F(PositionCommand, Chess960StartsAndTheOptionSwitchesCastlingNotation) {
    send("position Chess960 518");
    EXPECT_EQ(placement().substr(0, 43), START.substr(0, 43));
    send("position Chess960 0");
    EXPECT_EQ(placement().substr(0, 43), "bbqnnrkr/pppppppp/8/8/8/8/PPPPPPPP/BBQNNRKR");
    protocol.chess960 = true;
    send("position startpos moves e2e4 e7e5 g1f3 g8f6 f1c4 f8c5 e1h1");
    const std::string castled = "rnbqk2r/pppp1ppp/5n2/2b1p3/2B1P3/5N2/PPPP1PPP/RNBQ1RK1 b";
    EXPECT_EQ(placement().substr(0, castled.size()), castled);
    out.clear();
    send("perft depth 1 divide");
    EXPECT_NE(out.text().find("info move O-O depth 0 "), std::string::npos) << out.text();
}

}  // namespace
}  // namespace zelmora
