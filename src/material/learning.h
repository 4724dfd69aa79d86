#pragma once
// Fits the material network to a training file of material statistics.

#include <cstdio>

namespace zelmora {

class Network;
class RandomGenerator;

// Trains the given network endlessly, logging to "NeuroLrn.txt" and writing each improvement to
// "materialwerte.txt". Returns only when the training file gives no usable sample or the network
// is no material network (after a message on `messages`), so the command cannot spin without
// anything to learn.
void runMaterialLearning(const char* trainingFile, Network& network, RandomGenerator& random,
                         std::FILE* messages);

}  // namespace zelmora
