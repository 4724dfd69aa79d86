#pragma once

#include "board/types.h"

namespace zelmora {

constexpr int MAX_PV = 100;

struct PrincipalVariation {
    int length = 0;
    Move moves[MAX_PV] = {};
};

}  // namespace zelmora
