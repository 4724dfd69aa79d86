#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <regex>
#include <string>

#include "neural/material_learning.h"
#include "neural/material_training.h"
#include "neural/material_training_samples.h"
#include "neural/network.h"
#include "support/captured_file.h"
#include "support/temp_file.h"
#include "util/random.h"

namespace zelmora::test {
namespace {

// A line as the statistics writer lays it out.
std::string line(unsigned leading, unsigned other, int relation, int balance, double p, long w, double a, double r) {
    char text[128];
    std::snprintf(text, sizeof text, "%05x %05x %2d %3d %8.6f %10ld %10.3f %6.1f\n", leading, other, relation, balance,
                  p, w, a, r);
    return text;
}

TrainingLine parse(const std::string& text) {
    MaterialSample sample;
    return parseTrainingLine(text.c_str(), sample);
}

MaterialSampleSet sampleSet(std::initializer_list<MaterialSample> samples) {
    MaterialSampleSet set;
    for (const MaterialSample& s : samples) {
        set.samples.push_back(s);
        set.weightSum += s.weight;
    }
    return set;
}

// Queens, rooks, bishops, knights, pawns of both sides; x; target; weight.
const MaterialSampleSet TINY = sampleSet({{{0, 1, 0, 0, 3}, {0, 0, 1, 0, 3}, 0, 0.72, 1.5},
                                          {{1, 0, 1, 0, 2}, {0, 1, 1, 1, 2}, -1, 0.55, 0.8},
                                          {{0, 0, 2, 1, 4}, {0, 0, 1, 1, 4}, 1, 0.64, 2.0},
                                          {{0, 2, 0, 0, 1}, {0, 1, 0, 1, 2}, 0, 0.58, 1.1}});

class MaterialTraining : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(network.loadNetwork(""));
        char pattern[] = "/tmp/zelmora-learn-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        directory = pattern;
        files = {directory + "/materialwerte.txt", directory + "/NeuroLrn.txt"};
    }
    void TearDown() override { std::filesystem::remove_all(directory); }

    std::vector<std::string> logLines() const {
        std::FILE* log = std::fopen(files.log.c_str(), "r");
        std::vector<std::string> lines;
        for (char text[128]; log && std::fgets(text, sizeof text, log);) lines.push_back(text);
        if (log) std::fclose(log);
        return lines;
    }

    Network network;
    RandomGenerator random{12345};
    std::string directory;
    MaterialTrainingFiles files;
    CapturedFile messages;
};

TEST(MaterialTrainingSamples, LinesAreDecodedAndFiltered) {
    MaterialSample s;
    ASSERT_EQ(parseTrainingLine(line(0x12345, 0x01122, -1, 7, 0.75, 400000, 40, 50).c_str(), s), TrainingLine::Accepted);
    EXPECT_EQ(std::vector<int>(s.own, s.own + 5), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(std::vector<int>(s.other, s.other + 5), (std::vector<int>{0, 1, 1, 2, 2}));
    EXPECT_EQ(s.x, -1);
    EXPECT_NEAR(s.target, 0.6877051748, 1e-6);  // p as written with six decimals

    const TrainingLine yes = TrainingLine::Accepted, no = TrainingLine::Rejected, bad = TrainingLine::Malformed;
    const std::pair<std::string, TrainingLine> cases[] = {
        {line(0x1001, 0x1000, 0, 1, 0.995, 300000, 0, 40), yes},
        {line(0x1001, 0x1000, 0, 1, 1.0, 900000, 0, 40), no},
        {line(0x1001, 0x1000, 0, 1, 0.6, 299999, 0, 40), no},
        {line(0x1001, 0x1000, 0, 1, 0.6, 900000, -251, 40), no},  // the games' advantage against the material
        {line(0x1001, 0x1000, 0, 0, 0.6, 900000, -251, 40), yes},
        {line(0x1001, 0x1000, 0, -1, 0.6, 900000, 251, 40), no},
        {line(0x1000, 0x00110, 0, 0, 0.6, 900000, 0, 40), no},  // rook against two minors
        {line(0x1000, 0x00111, 0, 0, 0.6, 900000, 0, 40), yes},
        {line(0x00005, 0, 0, 5, 0.9, 900000, 0, 40), no},   // pawns only against a bare king
        {line(0x00010, 0, 0, 3, 0.6, 900000, 0, 40), no},   // a single man against a bare king
        {line(0x10001, 0, 0, 10, 0.9, 900000, 0, 40), yes},
        {"01001 01000  0   1 nan     900000      0.000   40.0", no},
        {"01001 01000  0   1 0.6 900000 0.0 inf", no},
        {"01001 01000  0   1 0.6 900000 0.0", bad},
        {"01001 01000  0   1x 0.6 900000 0.0 40", bad},
        {"", bad}};
    for (const auto& [text, expected] : cases) EXPECT_EQ(parse(text), expected) << text;
}

// The gradient is the descent direction of the epoch error: minus its derivative.
TEST_F(MaterialTraining, GradientMatchesFiniteDifferences) {
    MaterialTrainer trainer(network, TINY, random, files, messages.get());
    trainer.computeGradient();
    const std::vector<double> gradient = trainer.gradient();
    // Input to hidden (five per input), bias to hidden and to output, hidden to output.
    for (std::uint32_t c : {0u, 7u, 22u, 34u, 47u, 61u, 65u, 66u, 69u}) {
        const double h = 1e-6, saved = network.weight(c);
        network.weight(c) = saved + h;
        const double above = trainer.computeGradient();
        network.weight(c) = saved - h;
        const double below = trainer.computeGradient();
        network.weight(c) = saved;
        EXPECT_NEAR(gradient[c], -(above - below) / (2 * h), 1e-6 * std::abs(gradient[c]) + 1e-10) << c;
    }
}

TEST_F(MaterialTraining, EpochsLowerTheErrorAndSaveTheBestNetwork) {
    MaterialTrainer trainer(network, TINY, random, files, messages.get());
    const double first = trainer.runEpoch();
    double last = first;
    for (int i = 1; i < 300; ++i) last = trainer.runEpoch();
    EXPECT_LT(last, 0.5 * first);

    // Saved at epochs 100, 200 and 300, each time with the weights the logged error belongs to.
    const std::regex format(R"([ *X][ \d]{5}\d \d\.\d{5} [ \d]\d\.\d{7} [ \d]{4}\d\n)");
    const std::vector<std::string> lines = logLines();
    ASSERT_EQ(lines.size(), 3u);
    for (const std::string& text : lines) EXPECT_TRUE(std::regex_match(text, format)) << text;
    EXPECT_EQ(lines[0].substr(0, 16), "*   100 0.00001 ");
    EXPECT_EQ(lines[2].substr(0, 7), "*   300");

    Network saved;
    ASSERT_TRUE(saved.loadNetwork(files.network));
    EXPECT_EQ(saved.structure(), network.structure());
    MaterialTrainer check(saved, TINY, random, {directory + "/a", directory + "/b"}, messages.get());
    EXPECT_DOUBLE_EQ(check.computeGradient(), trainer.bestError());
    EXPECT_FALSE(std::filesystem::exists(files.network + ".tmp"));

    network.weight(3) = 25;  // clipped at the next update, whatever the gradient says
    trainer.runEpoch();
    EXPECT_EQ(network.weight(3), 19.9999999);
}

}  // namespace
}  // namespace zelmora::test
