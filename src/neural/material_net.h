#pragma once
// How the material network is fed: its inputs are piece counts of two sides, shared by the
// evaluation's material term and by training.

#include "neural/network.h"

namespace zelmora {

inline constexpr int MATERIAL_NET_INPUTS = 12;

// One forward pass of a material network: counts are queens, rooks, bishops, knights, pawns; x is
// -1 for opposite-coloured bishops, +1 for same-coloured, else 0.
double materialNetOutput(Network& network, const int own[5], const int other[5], int x);

}  // namespace zelmora
