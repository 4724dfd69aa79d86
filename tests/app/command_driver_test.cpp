#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/arguments.h"
#include "app/command_driver.h"
#include "support/captured_file.h"

namespace zelmora::test {
namespace {

using Lines = std::vector<std::string>;

struct Transcript {
    Lines out, err;
};

Transcript runDriver(const std::string& input, bool showHiddenOptions = false) {
    test::CapturedFile in, out, err;
    in.load(input);
    CommandDriver(nullptr, showHiddenOptions, in.get(), out.get(), err.get()).run();
    return Transcript{out.lines(), err.lines()};
}

const Lines VISIBLE_OPTIONS = {
    "id name Zelmora 2.4", "id author Quorvin Dalt", "option name Hash type spin default 3 min 3 max 2047",
    "option name Ponder type check default true", "option name OwnBook type check default true",
    "option name Clear Hash type button", "option name MultiPV type spin default 1 min 1 max 255",
    "option name UCI_Chess960 type check default false", "option name BookFile type string default Zelmora.opn",
    "option name Opponent type string default unknown",
    "option name NumberOfProcessors type spin default 1 min 1 max 8",
    "option name NeuroMaterial type spin default 40 min 0 max 100",
    "option name NeuroWidth type spin default 300 min 1 max 10000",
    "option name MaterialFile type string default (internal)"};
const Lines HIDDEN_OPTIONS = {
    "option name Zeitprotokolldatei type string default nul:", "option name blocking type check default false",
    "option name NoOutput type check default false", "option name Resign type spin default 700 min 400 max 2000",
    "option name AlwaysClearHash type check default false"};

Lines concat(std::initializer_list<Lines> parts) {
    Lines all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

TEST(CommandDriver, Transcripts) {
    const Lines& V = VISIBLE_OPTIONS;
    const std::string pieces(39999 - 13, 'p');  // an overlong line arrives in pieces of 39,999 characters
    const struct {
        std::string input;
        bool hidden;
        Lines out;
        std::size_t errors;
    } cases[] = {
        {"uci\n", false, concat({V, {"uciok"}}), 0},
        {"uci\n", true, concat({V, HIDDEN_OPTIONS, {"uciok"}}), 0},
        // The start word is checked until one is accepted; then every line is a command.
        {"\n   \n\t\nhello\nxboards\nisready\nuci \t \r\nuci\nisready\nhello\n", false,
         concat({V, {"uciok"}, V, {"uciok", "readyok"}}), 3},
        {"ucitest\nisready\ndebug on\nposition nothing\nperft depth 2\nuci\nquit\n", true, {}, 0},  // silent
        {"UCI\nUcitest\nucitests\n", false, {}, 3},
        {"uci\nisready\nquit\nisready\nuci\n", false, concat({V, {"uciok", "readyok"}}), 0},
        {"quit\nuci\nquit now\nisready\n", false, concat({V, {"uciok"}}), 1},
        {"uci\nhello world\nISREADY\nisreadyisreadyisready\n  isready\t\nisready\x01\nreadyok\n\xE4\xFC\xFF\n", false,
         concat({V, {"uciok", "readyok"}}), 0},
        {"", false, {}, 0},
        {"\n\n\n", false, {}, 0},
        {"uci\ndebug on\nposition fen " + pieces + "isready\nisready\n", false,
         concat({V, {"uciok", "info string position: Ung\xFCltiger FEN-String:  " + pieces, "readyok", "readyok"}}), 0},
    };
    for (const auto& c : cases) {
        const Transcript t = runDriver(c.input, c.hidden);
        EXPECT_EQ(t.out, c.out) << c.input.substr(0, 80);
        EXPECT_EQ(t.err, Lines(c.errors, "'uci' or 'xboard' expected")) << c.input.substr(0, 80);
    }
    // The end of input without a newline or "quit" ends normally, after the last command.
    const Transcript t = runDriver("uci\nposition startpos moves e2e4 e7e5\nperft depth 2\nisready");
    ASSERT_EQ(t.out.size(), V.size() + 3);
    EXPECT_NE(t.out[V.size() + 1].find(" nodes 835"), std::string::npos) << t.out[V.size() + 1];
    EXPECT_EQ(t.out.back(), "readyok");
}

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

TEST(CommandDriver, XboardStartsTheAdapterAndQuitOrTheEndOfInputEndsIt) {
    const Transcript t = runDriver("\n  xboard  \nprotover 2\nping 3\nuci\nxboard\nquit\nping 4\n");
    EXPECT_TRUE(t.err.empty());
    ASSERT_GE(t.out.size(), 4u);
    EXPECT_EQ(t.out[1], "feature done=0");
    EXPECT_EQ(Lines(t.out.end() - 4, t.out.end()),
              (Lines{"feature done=1", "pong 3", "Error (unknown command): uci", ""}));
    for (const std::string& line : runDriver("xboard\nprotover 2\nnew\nlevel 0 60 0\ngo\n").out)
        EXPECT_NE(line.rfind("move ", 0), 0u) << line;  // the search ends without a move
}

// Each move taken back while analysing queues five UCI lines, far faster than they run: the input
// must wait for the worker rather than lose lines, "quit" among them (nothing after it is read).
TEST(CommandDriver, AFloodOfXboardCommandsLosesNoLine) {
    std::string input = "xboard\nprotover 2\nnew\nforce\nusermove e2e4\nanalyze\n";
    for (int i = 0; i < 40; ++i) input += i % 2 == 0 ? "undo\n" : "usermove e2e4\n";
    input += "exit\nping 9\nquit\nping 10\n";
    const Lines out = runDriver(input).out;
    for (const std::string& line : out) EXPECT_EQ(line.find("queue full"), std::string::npos) << line;
    EXPECT_EQ(std::count(out.begin(), out.end(), "pong 9"), 1);
    EXPECT_EQ(std::count(out.begin(), out.end(), "pong 10"), 0);
}

}  // namespace
}  // namespace zelmora::test
