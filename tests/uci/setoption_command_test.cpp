#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "search/transposition_table.h"
#include "support/protocol_fixture.h"
#include "support/recording_output.h"

namespace zelmora {
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
        {"setoption name    value 3", "Syntaxfehler bei 'setoption'"},
        {"setoption name hash value 3", "'setoption': unbekannte Option"},
        {"setoption name Hash  value 3", "'setoption': unbekannte Option"},  // keeps one blank
        {"setoption name Clear  Hash", "'setoption': unbekannte Option"},
        {"setoption name NumberOfProcessorsAndSoOnAndSoForth value 2", "'setoption': unbekannte Option"},
        {"setoption name Hash value 0", INVALID + "'Hash'"},
        {"setoption name Hash value -3", INVALID + "'Hash'"},
        {"setoption name Hash value abc", INVALID + "'Hash'"},
        {"setoption name Ponder value yes", INVALID + "'Ponder'"},
        {"setoption name OwnBook value 1", INVALID + "'OwnBook'"},
        {"setoption name UCI_Chess960 value TRUE", INVALID + "'UCI_Chess960'"},
        {"setoption name blocking value truefalse", INVALID + "'blocking'"},
        {"setoption name NoOutput value", INVALID + "'NoOutput'"},
        {"setoption name AlwaysClearHash value false123", INVALID + "'AlwaysClearHash'"},
        {"setoption name MultiPV value 0", INVALID + "'MultiPV'"},
        {"setoption name NumberOfProcessors value x", INVALID + "'NumberOfProcessors'"},
        {"setoption name NeuroMaterial value 101", INVALID + "'NeuroMaterial'"},
        {"setoption name NeuroMaterial value -1", INVALID + "'NeuroMaterial'"},
        {"setoption name NeuroWidth value 0", INVALID + "'NeuroWidth'"},
        {"setoption name NeuroWidth value 10001", INVALID + "'NeuroWidth'"},
        {"setoption name Resign value 0", INVALID + "'Resign'"},
        {"setoption name Opponent value", "Lesefehler bei 'Opponent value'"},
    };
    for (const char* name : {"Hash", "Ponder", "OwnBook", "BookFile", "MultiPV", "NumberOfProcessors", "Opponent",
                             "UCI_Chess960", "blocking", "NoOutput", "AlwaysClearHash", "NeuroMaterial", "NeuroWidth",
                             "MaterialFile", "Resign", "Zeitprotokolldatei"}) {
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

TEST_F(SetOption, CheckOptionsTakeOnlyTrueAndFalseAndHiddenOnesWorkUnannounced) {
    output.setDebug(true);
    send("setoption name UCI_Chess960 value true");
    send("setoption name blocking value true");
    EXPECT_TRUE(protocol.chess960);
    EXPECT_TRUE(control.blocking);
    EXPECT_TRUE(lines().empty());
    output.setDebug(false);
    const std::pair<const char*, bool> ponder[] = {{"yes", true}, {"false", false}, {"true", true}};
    for (const auto& [value, on] : ponder) {
        send(std::string("setoption name Ponder value ") + value);
        EXPECT_EQ(clock.ponderOption, on) << value;
    }
    send("setoption name OwnBook value False");
    EXPECT_TRUE(engine.ownBook);
    send("setoption name OwnBook value false");
    EXPECT_FALSE(engine.ownBook);
    send("setoption name AlwaysClearHash value true");
    send("setoption name AlwaysClearHash value truex");
    EXPECT_TRUE(engine.alwaysClearHash);

    send("setoption name NoOutput value true");
    send("isready");
    EXPECT_TRUE(lines().empty());
    send("setoption name NoOutput value false");
    send("isready");
    EXPECT_EQ(lines(), std::vector<std::string>{"readyok"});
}

TEST_F(SetOption, NumbersFallBackOrStopAtTheirLimits) {
    const std::pair<const char*, int> multiPv[] = {{"5", 5}, {"0", 1}, {"300", 255}, {"many", 1}};
    for (const auto& [value, lines] : multiPv) {
        send(std::string("setoption name MultiPV value ") + value);
        EXPECT_EQ(engine.multiPv, lines) << value;
    }
    const std::pair<const char*, int> threads[] = {{"4", 4}, {"20", 8}, {"-2", 1}};
    for (const auto& [value, count] : threads) {
        send(std::string("setoption name NumberOfProcessors value ") + value);
        EXPECT_EQ(control.threadCount(), count) << value;
        EXPECT_EQ(engine.threadCount, count) << value;
    }
    const std::pair<const char*, int> resign[] = {
        {"400", -4000}, {"1", -4000}, {"401", -4010}, {"700", -7000}, {"1999", -19990},
        {"2000", -500000}, {"99999999999999999999", -500000}, {"0", -500000}, {"x", -500000}};
    for (const auto& [value, threshold] : resign) {
        send(std::string("setoption name Resign value ") + value);
        EXPECT_EQ(engine.resignThreshold, threshold) << value;
    }
}

TEST_F(SetOption, HashResizesAndClears) {
    TranspositionTable& table = *engine.table;
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

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
// Two gigabytes are too much for a sanitizer's shadow memory.
TEST_F(SetOption, HugeHashIsCappedAt2047MiB) {
    send("setoption name Hash value 100000");
    EXPECT_EQ(engine.table->slots(), 2047u * 1048576 / 24 - 2);
    send("setoption name Hash value 3");
}
#endif

// Options that touch the table, the book or the evaluation end a running search without its
// result; the others leave it running.
class SetOptionWhileSearching : public ::testing::Test {
protected:
    SetOptionWhileSearching() {
        engine.clock = &clock;
        engine.setListener(&output);
    }

    Engine engine;
    TimeLimits clock;
    test::RecordingOutput output{engine};
    SearchControl control{&engine, &output, &clock};
    UciProtocol protocol{&engine, &output, &control, false};
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
        engine.stop = false;
        protocol.handle((std::string("setoption name ") + option).c_str());
        EXPECT_FALSE(engine.stop) << option;
    }
    engine.stop = false;
    protocol.handle("setoption name MultiPV value 2");
    EXPECT_TRUE(engine.stop);
}

}  // namespace
}  // namespace zelmora
