#include "neural/material_learning.h"

namespace zelmora {

void runMaterialLearning(const char*, Network&, RandomGenerator&, std::FILE*) {}

}  // namespace zelmora
