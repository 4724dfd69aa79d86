#include "neural/network.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

#include "data/material_network.h"
#include "data/move_change_network.h"

namespace zelmora {

bool Network::readNetworkText(std::string_view text) {
    std::istringstream in{std::string(text)};
    return readNetwork(in);
}

bool Network::loadNetwork(const std::string& name) {
    if (name.empty() || name == "(internal)") return readNetworkText(data::MATERIAL_NETWORK_TEXT);
    std::ifstream file(name);
    if (!file) return false;
    return readNetwork(file);
}

bool Network::loadMoveChangeNetwork() { return readNetworkText(data::MOVE_CHANGE_NETWORK_TEXT); }

void Network::resetSums() {
    if (layerStart_.empty()) return;
    std::fill(sum_.begin() + layerStart_[1], sum_.end(), 0.0);
}

void Network::setInput(int i, double value) {
    if (unsigned(i) >= inputCount_) return;
    output_[unsigned(i)] = value;
    propagate(unsigned(i), value);
}

void Network::compute() {
    if (layerStart_.empty()) return;
    propagate(biasUnit(), 1.0);
    // Connections only lead to later layers, so one sweep over the hidden units in order sees
    // every sum complete before it is used.
    const int last = layerCount() - 1;
    for (std::uint32_t u = layerStart_[1]; u < layerStart_[last]; ++u) {
        output_[u] = 1.0 / (1.0 + std::exp(-sum_[u]));
        propagate(u, output_[u]);
    }
    for (std::uint32_t u = layerStart_[last]; u < layerStart_[last + 1]; ++u) output_[u] = sum_[u];
}

}  // namespace zelmora
