#include "app/arguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zelmora {
namespace {

ProgramArguments parse(std::vector<std::string> words) {
    std::vector<const char*> argv{"zelmora"};
    for (const auto& w : words) argv.push_back(w.c_str());
    return parseArguments(static_cast<int>(argv.size()), argv.data());
}

TEST(Arguments, HiddenWordIsExactAndTheLastPathWins) {
    EXPECT_FALSE(parse({}).showHiddenOptions || parse({}).hasPath);
    ProgramArguments a = parse({"games.pgn", "VersteckteOptionen", "\"my games/all.pgn\""});
    EXPECT_TRUE(a.showHiddenOptions);
    ASSERT_TRUE(a.hasPath);
    EXPECT_STREQ(a.path, "my games/all.pgn");
    ProgramArguments b = parse({"versteckteoptionen"});
    EXPECT_FALSE(b.showHiddenOptions);
    EXPECT_STREQ(b.path, "versteckteoptionen");
}

TEST(Arguments, QuotedPathsLoseOnlyTheirQuotesAndAreCutAt511) {
    EXPECT_STREQ(parse({"\"open.pgn"}).path, "open.pgn");
    EXPECT_STREQ(parse({"\"\""}).path, "");
    EXPECT_STREQ(parse({"a\"b\""}).path, "a\"b\"");  // only a leading quote starts a quoted path
    std::string longPath(600, 'p');
    EXPECT_EQ(std::string(parse({"\"" + longPath + "\""}).path), longPath.substr(0, 511));
    EXPECT_EQ(std::string(parse({"\"" + std::string(510, 'q') + "\""}).path), std::string(510, 'q'));
    EXPECT_EQ(std::string(parse({longPath}).path).size(), 511u);
}

}  // namespace
}  // namespace zelmora
