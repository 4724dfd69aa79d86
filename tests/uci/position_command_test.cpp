#include <gtest/gtest.h>

#include <cstdio>
#include <numeric>
#include <regex>
#include <set>
#include <string>

#include "support/protocol_fixture.h"

namespace zelmora::test {
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

class PerftCommand : public test::ProtocolTest {
protected:
    // Node count of every line; each must have the given form, with the depth filled in.
    std::vector<long long> counts(const std::string& form, std::set<std::string>* moves = nullptr) {
        std::vector<long long> result;
        for (const auto& line : lines()) {
            std::smatch m;
            EXPECT_TRUE(std::regex_match(line, m, std::regex(form))) << line;
            if (m.empty()) continue;
            result.push_back(std::stoll(m[m.size() - 1]));
            if (moves != nullptr) moves->insert(m[1]);
        }
        out.clear();
        return result;
    }
    static long long sum(const std::vector<long long>& v) { return std::accumulate(v.begin(), v.end(), 0LL); }
};

std::string divideLine(int depth) {
    return "info move (\\S+) depth " + std::to_string(depth) + " time \\d+ nodes (\\d+)";
}

TEST_F(PerftCommand, CountsWithAndWithoutTableAndDivides) {
    send("perft depth 3");
    send("perft Hash 4 depth 3");
    EXPECT_EQ(counts("info depth 3 time \\d+ nodes (\\d+)"), (std::vector<long long>{8902, 8902}));
    send("perft depth 0");
    EXPECT_EQ(counts("info depth 0 time \\d+ nodes (\\d+)"), std::vector<long long>{0});
    send("perft depth 3 divide Hash 16");
    auto three = counts(divideLine(2));
    EXPECT_EQ(three.size(), 20u);
    EXPECT_EQ(sum(three), 8902);
    send("perft depth 1 divide");  // each root move counts perft at depth 0
    EXPECT_EQ(counts(divideLine(0)), std::vector<long long>(20, 0));
}

TEST_F(PerftCommand, DivideListsEveryLegalRootMoveOnce) {
    send("position fen r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1");
    send("perft divide depth 2 Hash 16");
    std::set<std::string> moves;
    auto perMove = counts(divideLine(1), &moves);
    EXPECT_EQ(perMove.size(), 48u);
    EXPECT_EQ(moves.size(), 48u);
    EXPECT_EQ(sum(perMove), 2039);
    EXPECT_TRUE(moves.count("e1g1") && moves.count("e1c1"));
}

TEST_F(PerftCommand, AbsurdDepthsAreRefusedAtOnce) {
    output.setDebug(true);
    // Beyond the int range the depth saturates; none of these may recurse off the stack.
    for (const char* depth : {"65", "2147483647", "2147483648", "4294967296", "-2147483649", "99999999999999999999"})
        send(std::string("perft depth ") + depth + " Hash 4294967296");
    const std::vector<std::string> seen = lines();
    ASSERT_EQ(seen.size(), 6u);
    EXPECT_EQ(seen[0], "info string Unzul\xE4ssiger Wert f\xFCr 'depth' perft depth 65 Hash 4294967296");
    EXPECT_EQ(seen[4], "info depth -2147483648 time 0 nodes 0");  // below 1 counts nothing, as depth 0
}

using EvalCommand = test::ProtocolTest;

TEST_F(EvalCommand, PrintsRoundedScoreThenValueAndMaterial) {
    // e = 34: cp (34 + 9) / 10; e' = 33, r = 33, d = 1, which prints as 0.
    send("eval");
    // Pawnless with equal material: 148 for White to move, -142 for Black (see the evaluator tests).
    send("position fen kb6/1r6/8/8/4K3/8/6RB/8 w - - 0 1");
    send("eval");
    send("position fen kb6/1r6/8/8/4K3/8/6RB/8 b - - 0 1");
    send("eval");
    send("position fen 8/8/8/8/8/7p/5k1P/7K w - - 0 1");  // stalemate
    send("eval");
    EXPECT_EQ(lines(), (std::vector<std::string>{"info score cp 4", "info string value 34 mat 0",
                                                 "info score cp 15", "info string value 148 mat 0",
                                                 "info score cp -13", "info string value -142 mat 0",
                                                 "info score cp 0", "info string value 0 mat 0"}));
}

}  // namespace
}  // namespace zelmora::test
