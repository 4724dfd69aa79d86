// The network text: N, N structure integers (layer count, layer sizes, connection quadruples),
// then one weight per connection in the order the connections are stored.

#include <cctype>
#include <charconv>
#include <cmath>
#include <istream>
#include <ostream>

#include "neural/network.h"

namespace zelmora {

namespace {

// Far above any network of this engine; keeps a hostile text from claiming huge memory.
constexpr int MAX_UNITS = 1 << 16;

struct Token {
    char text[64];
    int length = 0;
};

// Whitespace-separated tokens, parsed in full so that "12x" is an error rather than 12.
bool readToken(std::istream& in, Token& token) {
    std::streambuf* buffer = in.rdbuf();
    if (!buffer) return false;
    int c = buffer->sgetc();
    while (c != std::char_traits<char>::eof() && std::isspace(c)) c = buffer->snextc();
    token.length = 0;
    while (c != std::char_traits<char>::eof() && !std::isspace(c)) {
        if (token.length == int(sizeof token.text)) return false;
        token.text[token.length++] = char(c);
        c = buffer->snextc();
    }
    return token.length > 0;
}

bool readInt(std::istream& in, int& value) {
    Token token;
    if (!readToken(in, token)) return false;
    const char* end = token.text + token.length;
    const auto [ptr, ec] = std::from_chars(token.text, end, value);
    return ec == std::errc() && ptr == end;
}

bool readDouble(std::istream& in, double& value) {
    Token token;
    if (!readToken(in, token)) return false;
    const char* begin = token.text;
    const char* end = token.text + token.length;
    if (*begin == '+') ++begin;  // scanf-style input allows it; from_chars does not
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    return ec == std::errc() && ptr == end && std::isfinite(value);
}

void put(std::ostream& out, int value, const char* separator) {
    char text[16];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
    out.write(text, end - text);
    out << separator;
}

// The shortest text that reads back to the same double: exact round trips, and never fewer
// significant digits than the value needs.
void put(std::ostream& out, double value) {
    char text[32];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
    out.write(text, end - text);
    out.put(' ');
}

}  // namespace

bool Network::readNetwork(std::istream& in) {
    Network net;  // swapped in only when the whole text is good
    int n = 0;
    if (!in || !readInt(in, n) || n < 1) return false;
    for (int i = 0; i < n; ++i) {
        int value = 0;
        if (!readInt(in, value)) return false;
        net.structure_.push_back(value);
    }
    const std::vector<int>& s = net.structure_;

    const int layers = s[0];
    if (layers < 2 || layers > (n - 1) / 2) return false;
    net.layerStart_.assign(1, 0);
    int units = 0;
    for (int l = 0; l < layers; ++l) {
        const int count = s[2 + 2 * l];
        if (s[1 + 2 * l] != l || count < 1 || count > MAX_UNITS - units) return false;
        units += count + (l == 0 ? 1 : 0);  // the bias unit closes the input layer
        net.layerStart_.push_back(std::uint32_t(units));
    }
    net.inputCount_ = std::uint32_t(s[2]);
    net.outputCount_ = std::uint32_t(s[2 * layers]);

    const int first = 1 + 2 * layers;
    if ((n - first) % 4 != 0) return false;
    // Connections lead forward only; the bias unit gets its connections from the network itself.
    std::vector<std::uint32_t> perUnit(std::size_t(units) + 1, 0);
    for (int q = first; q < n; q += 4) {
        const int fromLayer = s[q], fromUnit = s[q + 1], toLayer = s[q + 2], toUnit = s[q + 3];
        if (fromLayer < 0 || toLayer <= fromLayer || toLayer >= layers) return false;
        if (fromUnit < 0 || fromUnit >= s[2 + 2 * fromLayer]) return false;
        if (toUnit < 0 || toUnit >= s[2 + 2 * toLayer]) return false;
        ++perUnit[net.layerStart_[fromLayer] + std::uint32_t(fromUnit)];
    }
    const std::uint32_t bias = net.inputCount_;
    perUnit[bias] = std::uint32_t(units) - net.layerStart_[1];

    net.firstConnection_.assign(std::size_t(units) + 1, 0);
    for (int u = 0; u < units; ++u) net.firstConnection_[u + 1] = net.firstConnection_[u] + perUnit[u];
    const std::uint32_t connections = net.firstConnection_[units];
    net.target_.assign(connections, 0);
    std::vector<std::uint32_t> next(net.firstConnection_.begin(), net.firstConnection_.end() - 1);
    for (int q = first; q < n; q += 4) {
        const std::uint32_t from = net.layerStart_[s[q]] + std::uint32_t(s[q + 1]);
        net.target_[next[from]++] = net.layerStart_[s[q + 2]] + std::uint32_t(s[q + 3]);
    }
    for (std::uint32_t u = net.layerStart_[1]; u < std::uint32_t(units); ++u) net.target_[next[bias]++] = u;

    net.weight_.assign(connections, 0.0);
    for (double& w : net.weight_)
        if (!readDouble(in, w)) return false;

    net.sum_.assign(std::size_t(units), 0.0);
    net.output_.assign(std::size_t(units), 0.0);
    net.output_[bias] = 1.0;
    *this = std::move(net);
    return true;
}

bool Network::writeNetwork(std::ostream& out) const {
    const int n = int(structure_.size());
    put(out, n, " ");
    for (int i = 0; i < n; ++i) put(out, structure_[i], (i + 1) % 30 == 0 ? " \n" : " ");
    out.put('\n');
    if (!layerStart_.empty()) {
        for (std::uint32_t u = 0; u < layerStart_[layerCount() - 1]; ++u) {
            for (std::uint32_t c = firstConnection_[u]; c < firstConnection_[u + 1]; ++c) put(out, weight_[c]);
            out.put('\n');
        }
    }
    return bool(out);
}

}  // namespace zelmora
