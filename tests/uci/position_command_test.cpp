#include <gtest/gtest.h>

#include <numeric>
#include <regex>
#include <string>
#include <vector>

#include "support/protocol_fixture.h"

namespace zelmora::test {
namespace {

using Lines = std::vector<std::string>;
using PositionCommand = ProtocolTest;

const std::string START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq";
const std::string KIWIPETE = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1";
const std::string AFTER_E4 = "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq";
const std::string INVALID_FEN = "info string position: Ung\xFCltiger FEN-String:  ";

TEST_F(PositionCommand, SetsUpTheBoardOrFallsBackToTheStart) {
    const std::string castled = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R4RK1 b kq";
    const std::pair<std::string, std::string> cases[] = {
        {"position startpos moves e2e4 e7e5 g1f3", "rnbqkbnr/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq"},
        {"position   startpos   moves   d2d4\t d7d5  ", "rnbqkbnr/ppp1pppp/8/3p4/3P4/8/PPP1PPPP/RNBQKBNR w KQkq"},
        {"position fen " + KIWIPETE + " moves e1g1", castled},
        {"position fen " + KIWIPETE + " moves O-O", castled},
        {"position fen " + KIWIPETE + " moves O-O-O e8c8",
         "2kr3r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/2KR3R w -"},
        {"position fen 4k3/8/8/8/8/8/8/4K3 b - -", "4k3/8/8/8/8/8/8/4K3 b -"},  // counters may be left out
        {"position fen 8/4P3/8/8/8/8/k7/4K3 w - - 0 1 moves e7e8n", "4N3/8/8/8/8/8/k7/4K3 b -"},
        // A bad move keeps the ones before it; four move characters and a letter are no move.
        {"position startpos moves e2e4 e7e5 e4e5 g1f3", "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq"},
        {"position startpos moves e2e4e7e5", START},
        {"position moves e7e5", AFTER_E4},  // no set-up: nothing changes
        {"position Chess960 x", AFTER_E4},
        // Impossible boards fall back to the start position.
        {"position fen 8/8/8/8/8/8/8/8 w - - 0 1 moves e2e4", START},
        {"position fen rnbqkbnr/pppppppp/8/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", START},
        {"position fen P3k3/8/8/8/8/8/8/4K3 w - - 0 1", START},
        {"position fen 4k3/8/8/8/8/8/8/4K2p b - - 0 1", START},
        {"position fen \xE4\xFC garbage", START},
        {"position Chess960 0", "bbqnnrkr/pppppppp/8/8/8/8/PPPPPPPP/BBQNNRKR w KQkq"},
    };
    for (const auto& [command, expected] : cases) {
        send("position startpos moves e2e4");
        send(command);
        EXPECT_EQ(placement(), expected) << command;
    }
    EXPECT_TRUE(lines().empty());  // messages are for debug mode only
    output.setDebug(true);
    send("position startpos moves e2e4 xx e7e5");  // the token is cut at five characters
    send("position fen 9/8/8/8/8/8/8/8 w - - 0 1 moves d2d4");
    send("position moves e7e5");
    send("position Chess960 x");
    EXPECT_EQ(lines(), (Lines{"info string position: Ung\xFCltiger Zug:  xx e",
                              INVALID_FEN + "9/8/8/8/8/8/8/8 w - - 0 1 moves d2d4",
                              "info string 'position' ohne 'startpos' und ohne 'fen'",
                              "info string 'position Chess960' ohne Nummer"}));
}

TEST_F(PositionCommand, Chess960CastlingIsKingTakesRook) {
    session.chess960 = true;
    send("position startpos moves e2e4 e7e5 g1f3 g8f6 f1c4 f8c5 e1h1");
    EXPECT_EQ(placement(), "rnbqk2r/pppp1ppp/5n2/2b1p3/2B1P3/5N2/PPPP1PPP/RNBQ1RK1 b kq");
    send("perft depth 1 divide");
    EXPECT_NE(out.text().find("info move O-O depth 0 "), std::string::npos) << out.text();
}

// Node counts of the lines, which must match the form (the last group is the count).
std::vector<long long> counts(const Lines& lines, const std::string& form) {
    std::vector<long long> result;
    for (const auto& line : lines) {
        std::smatch m;
        EXPECT_TRUE(std::regex_match(line, m, std::regex(form))) << line;
        if (!m.empty()) result.push_back(std::stoll(m[m.size() - 1]));
    }
    return result;
}

TEST_F(PositionCommand, PerftCountsDividesAndRefusesAbsurdDepths) {
    send("perft depth 3");
    send("perft Hash 4 depth 3");
    send("perft depth 0");
    EXPECT_EQ(counts(lines(), "info depth \\d time \\d+ nodes (\\d+)"), (std::vector<long long>{8902, 8902, 0}));
    out.clear();
    send("position fen " + KIWIPETE);
    send("perft divide depth 2 Hash 16");
    const std::vector<long long> perMove = counts(lines(), "info move (\\S+) depth 1 time \\d+ nodes (\\d+)");
    EXPECT_EQ(perMove.size(), 48u);
    EXPECT_EQ(std::accumulate(perMove.begin(), perMove.end(), 0LL), 2039);
    EXPECT_NE(out.text().find("info move e1c1 "), std::string::npos);
    out.clear();
    output.setDebug(true);
    // Beyond the int range the depth saturates; none of these may recurse off the stack.
    for (const char* depth : {"65", "2147483647", "2147483648", "-2147483649", "99999999999999999999"})
        send(std::string("perft depth ") + depth + " Hash 4294967296");
    const Lines seen = lines();
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_EQ(seen[0], "info string Unzul\xE4ssiger Wert f\xFCr 'depth' perft depth 65 Hash 4294967296");
    EXPECT_EQ(seen[3], "info depth -2147483648 time 0 nodes 0");  // below 1 counts nothing, as depth 0
}

TEST_F(PositionCommand, EvalPrintsRoundedScoreThenValueAndMaterial) {
    // e = 34: cp (34 + 9) / 10; pawnless with equal material: 148 for White to move, -142 for Black.
    for (const char* position :
         {"startpos", "fen kb6/1r6/8/8/4K3/8/6RB/8 w - - 0 1", "fen kb6/1r6/8/8/4K3/8/6RB/8 b - - 0 1",
          "fen 8/8/8/8/8/7p/5k1P/7K w - - 0 1"}) {  // the last is stalemate
        send(std::string("position ") + position);
        send("eval");
    }
    EXPECT_EQ(lines(), (Lines{"info score cp 4", "info string value 34 mat 0", "info score cp 15",
                              "info string value 148 mat 0", "info score cp -13", "info string value -142 mat 0",
                              "info score cp 0", "info string value 0 mat 0"}));
}

}  // namespace
}  // namespace zelmora::test
