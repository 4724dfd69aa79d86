#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <regex>
#include <string>

#include "neural/material_training.h"
#include "neural/network.h"
#include "support/captured_file.h"
#include "util/random.h"

namespace zelmora::test {
namespace {

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
