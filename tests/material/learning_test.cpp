#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "material/learning.h"
#include "material/training.h"
#include "material/training_samples.h"
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

}  // namespace
}  // namespace zelmora::test
