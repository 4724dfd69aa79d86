#include "neural/material_net.h"

namespace zelmora {

double materialNetOutput(Network& network, const int own[5], const int other[5], int x) {
    const int ownBishop = own[2] > 0 ? 1 : 0;
    // With opposite-coloured bishops the other side's bishop counts as an extra one.
    const int otherBishop = other[2] > 0 && x >= 0 ? 1 : 0;
    const int inputs[MATERIAL_NET_INPUTS] = {own[0],   own[1],   ownBishop,   own[2] - ownBishop,     own[3],   own[4],
                                             other[0], other[1], otherBishop, other[2] - otherBishop, other[3], other[4]};
    network.resetSums();
    for (int i = 0; i < MATERIAL_NET_INPUTS; ++i) network.setInput(i, inputs[i]);
    network.compute();
    return network.output(0);
}

}  // namespace zelmora
