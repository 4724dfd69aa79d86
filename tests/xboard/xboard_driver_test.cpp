// The "xboard" start word through the command loop.

#include "app/command_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/captured_file.h"

namespace zelmora {
namespace {

using Lines = std::vector<std::string>;

Lines runDriver(const std::string& input) {
    test::CapturedFile in, out, err;
    in.load(input);
    CommandDriver(nullptr, false, in.get(), out.get(), err.get()).run();
    EXPECT_TRUE(err.lines().empty());
    return out.lines();
}

TEST(XboardDriver, XboardStartsTheAdapterAndQuitEndsIt) {
    const Lines out = runDriver("\n  xboard  \nprotover 2\nping 3\nuci\nxboard\nquit\nping 4\n");
    ASSERT_GE(out.size(), 4u);
    EXPECT_EQ(out.front(), "");
    EXPECT_EQ(out[1], "feature done=0");
    EXPECT_EQ(Lines(out.end() - 4, out.end()),
              (Lines{"feature done=1", "pong 3", "Error (unknown command): uci", ""}));
}

TEST(XboardDriver, TheEndOfInputEndsARunningSearch) {
    const Lines out = runDriver("xboard\nprotover 2\nnew\nlevel 0 60 0\ngo\n");
    for (const std::string& line : out) EXPECT_NE(line.rfind("move ", 0), 0u) << line;
}

// Each move taken back while analysing queues five UCI lines, far faster than they run: the input
// must wait for the worker rather than lose lines, "quit" among them (nothing after it is read).
TEST(XboardDriver, AFloodOfCommandsLosesNoLine) {
    std::string input = "xboard\nprotover 2\nnew\nforce\nusermove e2e4\nanalyze\n";
    for (int i = 0; i < 40; ++i) input += i % 2 == 0 ? "undo\n" : "usermove e2e4\n";
    input += "exit\nping 9\nquit\nping 10\n";
    const Lines out = runDriver(input);
    for (const std::string& line : out) EXPECT_EQ(line.find("queue full"), std::string::npos) << line;
    EXPECT_EQ(std::count(out.begin(), out.end(), "pong 9"), 1);
    EXPECT_EQ(std::count(out.begin(), out.end(), "pong 10"), 0);
}

}  // namespace
}  // namespace zelmora
