#include <gtest/gtest.h>

#include <numeric>
#include <regex>
#include <set>
#include <string>

#include "support/protocol_fixture.h"

namespace zelmora {
namespace {

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

}  // namespace
}  // namespace zelmora
