#include "material/learning.h"

#include "neural/material_net.h"
#include "material/training.h"
#include "neural/network.h"

namespace zelmora {

void runMaterialLearning(const char* trainingFile, Network& network, RandomGenerator& random,
                         std::FILE* messages) {
    if (network.inputCount() != MATERIAL_NET_INPUTS || network.outputCount() < 1) {
        std::fprintf(messages, "info string the material network cannot be trained: it has no %d inputs\n",
                     MATERIAL_NET_INPUTS);
        return;
    }
    MaterialSampleSet set;
    if (readTrainingFile(trainingFile, set, messages) == 0) {
        std::fprintf(messages, "info string no training samples in %s, nothing to learn\n", trainingFile);
        return;
    }
    std::fflush(messages);
    MaterialTrainer trainer(network, set, random, MaterialTrainingFiles{}, messages);
    for (;;) trainer.runEpoch();  // the process is ended from outside
}

}  // namespace zelmora
