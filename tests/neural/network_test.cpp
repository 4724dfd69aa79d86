#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "data/material_network.h"
#include "neural/network.h"

namespace zelmora::test {
namespace {

double logistic(double x) { return 1.0 / (1.0 + std::exp(-x)); }

// Inputs 2, hidden layers of 2 and 1 units, output 1; input 1 also feeds the output directly,
// and input 0 lists its hidden units out of order.
const std::string LINKS = " 0 0 1 1 0 0 1 0 0 1 1 0 1 0 2 0 1 1 2 0 2 0 3 0 0 1 3 0";
const std::string SMALL = "37 4 0 2 1 2 2 1 3 1" + LINKS + "\n0.5 -1.0  2.0 0.25  0.1 -0.2 0.3 -0.4  1.5 -0.5 3.0\n";

double forward(Network& net, const std::vector<double>& inputs) {
    net.resetSums();
    for (std::size_t i = 0; i < inputs.size(); ++i) net.setInput(int(i), inputs[i]);
    net.compute();
    return net.output(0);
}

std::string written(const Network& net) {
    std::ostringstream out;
    EXPECT_TRUE(net.writeNetwork(out));
    return out.str();
}

TEST(Network, WeightsFollowConnectionCreationOrderAcrossLayers) {
    Network net;
    ASSERT_TRUE(net.readNetworkText(SMALL));
    const double h0 = logistic(-1.0 * 1.0 + 2.0 * 0.5 + 0.1), h1 = logistic(0.5 * 1.0 - 0.2);
    const double g = logistic(1.5 * h0 - 0.5 * h1 + 0.3);
    EXPECT_NEAR(forward(net, {1.0, 0.5}), 0.25 * 0.5 - 0.4 + 3.0 * g, 1e-12);
    EXPECT_EQ(net.output(1), 0.0);
}

TEST(Network, WriterLayoutAndRoundTrip) {
    Network net;
    ASSERT_TRUE(net.readNetworkText(SMALL));
    EXPECT_EQ(written(net),
              "37 4 0 2 1 2 2 1 3 1 0 0 1 1 0 0 1 0 0 1 1 0 1 0 2 0 1 1 2 0 2 \n0 3 0 0 1 3 0 \n"
              "0.5 -1 \n2 0.25 \n0.1 -0.2 0.3 -0.4 \n1.5 \n-0.5 \n3 \n");
    // The built-in text is kept in the writer's layout.
    ASSERT_TRUE(net.loadNetwork(""));
    EXPECT_EQ(written(net), data::MATERIAL_NETWORK_TEXT);

    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> value(-20.0, 20.0);
    for (std::uint32_t c = 0; c < net.connectionCount(); ++c) net.weight(c) = value(random);
    net.weight(0) = 1e-12;
    Network copy;
    ASSERT_TRUE(copy.readNetworkText(written(net)));
    EXPECT_EQ(copy.structure(), net.structure());
    for (std::uint32_t c = 0; c < net.connectionCount(); ++c) EXPECT_EQ(copy.weight(c), net.weight(c));
}

// Every failed read must leave the previous network computing exactly as before.
class NetworkRejects : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(net.loadNetwork(""));
        before = forward(net, inputs);
    }
    void expectRejected(const std::string& text) {
        EXPECT_FALSE(net.readNetworkText(text)) << text;
        EXPECT_EQ(forward(net, inputs), before) << text;
    }
    Network net;
    std::vector<double> inputs = {0, 1, 1, 0, 1, 4, 1, 0, 1, 0, 2, 5};
    double before = 0;
};

TEST_F(NetworkRejects, TruncationAndGarbageAnywhere) {
    std::istringstream in(SMALL);
    std::vector<std::string> tokens;
    for (std::string t; in >> t;) tokens.push_back(t);
    for (std::size_t k = 0; k < tokens.size(); ++k) {
        std::string prefix;
        for (std::size_t i = 0; i < k; ++i) prefix += tokens[i] + " ";
        expectRejected(prefix);
        for (const char* junk : {"x", "1x", "1.5.5", "nan", "inf", "-", "0x10"}) {
            std::string text = prefix + junk;
            for (std::size_t i = k + 1; i < tokens.size(); ++i) text += " " + tokens[i];
            expectRejected(text);
        }
    }
}

TEST_F(NetworkRejects, MalformedStructures) {
    const std::string weights = " 0.5 -1 2 0.25 0.1 -0.2 0.3 -0.4 1.5 -0.5 3";
    // The unmodified shapes read, so each rejection below is for the one fault it shows.
    ASSERT_TRUE(Network().readNetworkText("9 2 0 1 1 1 0 0 1 0" + weights));
    ASSERT_TRUE(Network().readNetworkText("15 3 0 1 1 1 2 1 0 0 1 0 1 0 2 0" + weights));
    const std::string structures[] = {
        "38 4 0 2 1 2 2 1 3 1" + LINKS + " 0",    // one integer over
        "37 4 0 2 1 2 2 1 3 1" + LINKS.substr(0, LINKS.size() - 2) + " -1",
        "37 4 1 2 0 2 2 1 3 1" + LINKS,           // layer numbers out of order
        "37 4 0 2 1 0 2 1 3 1" + LINKS,           // an empty layer
        "37 4 0 2 1 2000000000 2 1 3 1" + LINKS,  // absurd unit count
        "37 2147483647 0 2 1 2 2 1 3 1" + LINKS,  // absurd layer count
        "0", "1 4", "5 1 0 2 0 0", "99999999999 4",
        "9 2 0 1 1 1 0 0 0 0",               // into the input layer
        "9 2 0 1 1 1 0 1 1 0",               // from the bias unit, which is never listed
        "9 2 0 1 1 1 0 0 1 1",               // to a unit that does not exist
        "15 3 0 1 1 1 2 1 0 0 1 0 1 0 1 0",  // within a layer
        "15 3 0 1 1 1 2 1 0 0 1 0 2 0 1 0",  // backwards
    };
    for (const std::string& s : structures) expectRejected(s + weights);
}

}  // namespace
}  // namespace zelmora::test
