#pragma once
// A small feed-forward network: an input layer with a bias unit, logistic hidden layers and
// linear output units, read from and written to a text of structure integers and weights.
//
// Units are numbered globally, layer by layer; the bias unit follows the inputs. Connections
// are stored by source unit in creation order, which is also the order of the weights in the
// text, so reading, writing and back-propagation all walk the same arrays.

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace zelmora {

class Network {
public:
    // A network that cannot read a text is empty: no units, every output 0.
    Network() = default;

    // Parses a network text; on failure the network stays as it was.
    bool readNetwork(std::istream& in);
    bool readNetworkText(std::string_view text);
    bool writeNetwork(std::ostream& out) const;
    // "" and "(internal)" are the built-in material network, anything else names a file.
    bool loadNetwork(const std::string& name);
    bool loadMoveChangeNetwork();

    // A forward pass: resetSums, setInput for every input, compute, output.
    void resetSums();
    void setInput(int i, double value);
    void compute();
    double output(int k) const {
        return unsigned(k) < outputCount_ ? output_[layerStart_[layerCount() - 1] + unsigned(k)] : 0.0;
    }

    int inputCount() const { return int(inputCount_); }
    int outputCount() const { return int(outputCount_); }
    int layerCount() const { return int(layerStart_.size()) - 1; }
    const std::vector<int>& structure() const { return structure_; }

    // The internals training works on.
    std::uint32_t unitCount() const { return std::uint32_t(output_.size()); }
    std::uint32_t layerBegin(int layer) const { return layerStart_[layer]; }  // the bias unit ends layer 0
    std::uint32_t layerEnd(int layer) const { return layerStart_[layer + 1]; }
    std::uint32_t biasUnit() const { return inputCount_; }
    std::uint32_t connectionBegin(std::uint32_t unit) const { return firstConnection_[unit]; }
    std::uint32_t connectionEnd(std::uint32_t unit) const { return firstConnection_[unit + 1]; }
    std::uint32_t connectionCount() const { return std::uint32_t(weight_.size()); }
    std::uint32_t target(std::uint32_t connection) const { return target_[connection]; }
    double& weight(std::uint32_t connection) { return weight_[connection]; }
    double weight(std::uint32_t connection) const { return weight_[connection]; }
    double sum(std::uint32_t unit) const { return sum_[unit]; }
    double unitOutput(std::uint32_t unit) const { return output_[unit]; }

private:
    void propagate(std::uint32_t unit, double value) {
        for (std::uint32_t c = firstConnection_[unit]; c < firstConnection_[unit + 1]; ++c)
            sum_[target_[c]] += value * weight_[c];
    }

    std::vector<int> structure_;               // as read, for writing back
    std::vector<std::uint32_t> layerStart_;    // layer count + 1 entries
    std::vector<std::uint32_t> firstConnection_;  // unit count + 1 entries
    std::vector<std::uint32_t> target_;
    std::vector<double> weight_;
    std::vector<double> sum_;
    std::vector<double> output_;  // inputs hold their value, the bias unit 1.0
    std::uint32_t inputCount_ = 0;
    std::uint32_t outputCount_ = 0;
};

}  // namespace zelmora
