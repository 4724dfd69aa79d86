#include <gtest/gtest.h>

#include <string>

#include "support/protocol_fixture.h"
#include "support/temp_file.h"

namespace zelmora::test {
namespace {

const std::string SAMPLE = ZELMORA_TEST_DATA "/pgn/engine_games_sample.pgn";

class MatCommand : public test::ProtocolTest {
protected:
    // Sends the lines and returns what they wrote on standard error.
    std::string errorsOf(const std::vector<std::string>& commands) {
        ::testing::internal::CaptureStderr();
        for (const std::string& line : commands) send(line);
        return ::testing::internal::GetCapturedStderr();
    }
    static bool contains(const std::string& text, const std::string& part) {
        return text.find(part) != std::string::npos;
    }
};

TEST_F(MatCommand, BadInputIsReportedAndSurvived) {
    test::TempFile empty, truncated(std::string("\x02\x00\x00", 3)), training("untouched");
    const struct {
        std::string line, message;
    } cases[] = {
        {"mat", "info string mat: '' is no subcommand"},
        {"mat rnd", "'rnd' is no subcommand"},
        {"mat rnd many", "rnd: a number of games (0 or more) expected, not 'many'"},
        {"mat add ", "add: PGN file expected"},
        {"mat add " + SAMPLE + " value -5", "game value must lie in 0..1000000"},
        {"mat add " + empty.path(), empty.path() + ": 0 games read, 0 added"},
        {"mat readmem /nonexistent/mat.dump", "info string error opening the input file /nonexistent/mat.dump"},
        {"mat readmem " + truncated.path(), "is empty or truncated: nothing read"},
        {"mat learn", "learn: training file expected"},
        {"mat write /nonexistent/train.txt", "info string error opening the output file /nonexistent/train.txt"},
    };
    for (const auto& c : cases) {
        const std::string errors = errorsOf({c.line});
        EXPECT_TRUE(contains(errors, c.message)) << c.line << " -> " << errors;
    }
    // The failed write dropped the statistics all the same.
    errorsOf({"mat write " + training.path()});
    EXPECT_EQ(training.read(), "untouched");
    EXPECT_TRUE(lines().empty());
}

}  // namespace
}  // namespace zelmora::test
