#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "options/option_table.h"
#include "search/transposition_table.h"
#include "support/protocol_fixture.h"
#include "support/recording_output.h"

namespace zelmora::test {
namespace {

using SetOption = test::ProtocolTest;

struct Rejected {
    std::string line;
    std::string message;
};

const std::string INVALID = "Unzul\xE4ssiger Wert f\xFCr ";

std::vector<Rejected> rejectedLines() {
    std::vector<Rejected> cases = {
        {"setoption", "'setoption' ohne 'name'"},
        {"setoption Hash value 3", "'setoption' ohne 'name'"},
        {"setoption name", "Syntaxfehler bei 'setoption'"},
        {"setoption name hash value 3", "'setoption': unbekannte Option"},
        {"setoption name Hash  value 3", "'setoption': unbekannte Option"},  // keeps one blank
        {"setoption name Hash value 0", INVALID + "'Hash'"},
        {"setoption name Hash value abc", INVALID + "'Hash'"},
        {"setoption name Ponder value yes", INVALID + "'Ponder'"},
        {"setoption name UCI_Chess960 value TRUE", INVALID + "'UCI_Chess960'"},
        {"setoption name AlwaysClearHash value false123", INVALID + "'AlwaysClearHash'"},
        {"setoption name MultiPV value 0", INVALID + "'MultiPV'"},
        {"setoption name NumberOfProcessors value x", INVALID + "'NumberOfProcessors'"},
        {"setoption name NeuroMaterial value 101", INVALID + "'NeuroMaterial'"},
        {"setoption name NeuroWidth value 10001", INVALID + "'NeuroWidth'"},
        {"setoption name Resign value 0", INVALID + "'Resign'"},
        {"setoption name Opponent value", "Lesefehler bei 'Opponent value'"},
    };
    for (const char* name : {"Hash", "Ponder", "BookFile", "Opponent", "blocking", "Zeitprotokolldatei"}) {
        cases.push_back({std::string("setoption name ") + name, std::string("'setoption name ") + name + "' ohne 'value'"});
    }
    return cases;
}

TEST_F(SetOption, EveryMessageIsForDebugModeOnly) {
    for (const Rejected& c : rejectedLines()) send(c.line);
    send("setoption name Opponent value Quomb");
    EXPECT_TRUE(lines().empty());
    output.setDebug(true);
    for (const Rejected& c : rejectedLines()) {
        out.clear();
        send(c.line);
        EXPECT_EQ(lines(), std::vector<std::string>{"info string " + c.message + " " + c.line}) << c.line;
    }
    out.clear();
    send("setoption name Opponent value Quomb the Elder");
    send("setoption name Opponent value Quombus");
    EXPECT_EQ(lines(), std::vector<std::string>{"info string Nicht jetzt, nicht schon wieder Du!"});
}

// Setting an option to its announced default must change nothing: the announcement and the
// initial state of what the option acts on do not drift apart.
TEST_F(SetOption, EveryOptionStartsAtItsAnnouncedDefault) {
    struct Settings {
        std::size_t hashSlots;
        bool ponder, ownBook, chess960, blocking, silent, alwaysClearHash;
        int multiPv, threads, neuroMaterial, neuroWidth, resignThreshold;
        std::string bookFile, logFile;
        bool operator==(const Settings&) const = default;
    };
    auto settings = [&] {
        const MaterialEvaluator& material = engine.evaluator.material;
        return Settings{control.table().slots(), clock.ponderOption, session.ownBook, session.chess960, control.blocking,
                        output.isSilent(), session.alwaysClearHash, session.multiPv, control.threadCount(),
                        material.neuroMaterial(), material.neuroWidth(), session.resignThreshold, session.bookFile,
                        std::string(session.timeLogFile)};
    };
    const Settings initial = settings();
    for (const OptionSpec& option : OPTION_TABLE) {
        std::string value;
        switch (option.type) {
            case OptionType::Spin: value = std::to_string(option.defaultValue); break;
            case OptionType::Check: value = option.defaultValue != 0 ? "true" : "false"; break;
            case OptionType::Text: value = option.defaultText; break;
            default: continue;
        }
        send(std::string("setoption name ") + option.name + " value " + value);
        EXPECT_TRUE(settings() == initial) << option.name;
    }
}

// Check options take only "true" and "false"; numbers fall back or stop at their limits.
TEST_F(SetOption, ValuesAndTheirLimits) {
    const struct {
        const char* line;
        int expected;
        int (*read)(const test::ProtocolTest&);
    } cases[] = {
        {"Ponder value yes", 1, [](const test::ProtocolTest& t) { return int(t.clock.ponderOption); }},
        {"Ponder value false", 0, [](const test::ProtocolTest& t) { return int(t.clock.ponderOption); }},
        {"OwnBook value False", 1, [](const test::ProtocolTest& t) { return int(t.session.ownBook); }},
        {"OwnBook value false", 0, [](const test::ProtocolTest& t) { return int(t.session.ownBook); }},
        {"UCI_Chess960 value true", 1, [](const test::ProtocolTest& t) { return int(t.session.chess960); }},
        {"blocking value true", 1, [](const test::ProtocolTest& t) { return int(t.control.blocking); }},
        {"AlwaysClearHash value truex", 0, [](const test::ProtocolTest& t) { return int(t.session.alwaysClearHash); }},
        {"MultiPV value 5", 5, [](const test::ProtocolTest& t) { return t.session.multiPv; }},
        {"MultiPV value 300", 255, [](const test::ProtocolTest& t) { return t.session.multiPv; }},
        {"MultiPV value many", 1, [](const test::ProtocolTest& t) { return t.session.multiPv; }},
        {"NumberOfProcessors value 20", 8, [](const test::ProtocolTest& t) { return t.control.threadCount(); }},
        {"NumberOfProcessors value -2", 1, [](const test::ProtocolTest& t) { return t.control.threadCount(); }},
        {"Resign value 1", -4000, [](const test::ProtocolTest& t) { return int(t.session.resignThreshold); }},
        {"Resign value 401", -4010, [](const test::ProtocolTest& t) { return int(t.session.resignThreshold); }},
        {"Resign value 1999", -19990, [](const test::ProtocolTest& t) { return int(t.session.resignThreshold); }},
        {"Resign value 2000", -500000, [](const test::ProtocolTest& t) { return int(t.session.resignThreshold); }},
        {"Resign value 99999999999999999999", -500000, [](const test::ProtocolTest& t) { return int(t.session.resignThreshold); }},
    };
    for (const auto& c : cases) {
        send(std::string("setoption name ") + c.line);
        EXPECT_EQ(c.read(*this), c.expected) << c.line;
    }
    EXPECT_EQ(control.threadCount(), 1);
    send("setoption name NoOutput value true");
    send("isready");
    send("setoption name NoOutput value false");
    send("isready");
    EXPECT_EQ(lines(), std::vector<std::string>{"readyok"});
}

TEST_F(SetOption, HashResizesAndClears) {
    TranspositionTable& table = control.table();
    send("setoption name Hash value 4");
    EXPECT_EQ(table.slots(), 4u * 1048576 / 24 - 2);
    for (const char* bad : {"0", "-1", "abc", ""}) {
        send(std::string("setoption name Hash value ") + bad);
        EXPECT_EQ(table.slots(), 4u * 1048576 / 24 - 2) << bad;
    }
    const std::uint64_t key = 0x123456789ABCDEF0ULL;
    table.store(key, 0x1234, 77, makeDepthWord(5, BOUND_EXACT), 0, 0);
    Move move = NO_MOVE;
    int score = 0, count = 0, depthWord = 0;
    EXPECT_TRUE(table.probe(key, 0, move, score, count, depthWord));
    send("setoption name Clear Hash");
    EXPECT_FALSE(table.probe(key, 0, move, score, count, depthWord));
}


// Options that touch the table, the book or the evaluation end a running search without its
// result; the others leave it running.
class SetOptionWhileSearching : public ::testing::Test {
protected:
    SetOptionWhileSearching() { control.setOutput(&output); }
    ~SetOptionWhileSearching() override { control.stop(); }

    Session session;
    SearchControl control{session};
    SharedSearch& shared = control.shared();
    test::RecordingOutput output{control.shared()};
    UciProtocol protocol{&session, &output, &control, false};
};

TEST_F(SetOptionWhileSearching, SomeOptionsStopTheSearchSilently) {
    for (const char* option : {"Hash value 4", "OwnBook value true", "BookFile value Zelmora.opn", "MultiPV value 1",
                               "NumberOfProcessors value 1", "NeuroMaterial value 40", "NeuroWidth value 300",
                               "MaterialFile value (internal)", "MultiPV value 0"}) {
        const std::size_t before = output.results().size();
        protocol.handle("go infinite");
        protocol.handle((std::string("setoption name ") + option).c_str());
        auto results = output.results();
        ASSERT_EQ(results.size(), before + 1) << option;
        EXPECT_TRUE(results.back().silent) << option;
        EXPECT_FALSE(output.isSilent());
    }
    // stop() raises the flag even when no search runs, which shows who calls it without racing
    // a running search over the settings it reads.
    for (const char* option :
         {"Ponder value true", "UCI_Chess960 value false", "blocking value false", "AlwaysClearHash value false",
          "Resign value 700", "Zeitprotokolldatei value nul:", "Clear Hash", "Opponent value Quomb",
          "NoOutput value false", "Hash value 0", "NeuroWidth value 0"}) {
        shared.stop = false;
        protocol.handle((std::string("setoption name ") + option).c_str());
        EXPECT_FALSE(shared.stop) << option;
    }
    shared.stop = false;
    protocol.handle("setoption name MultiPV value 2");
    EXPECT_TRUE(shared.stop);
}

}  // namespace
}  // namespace zelmora::test
