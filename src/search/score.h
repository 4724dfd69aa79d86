#pragma once
// The ends of the search window, beyond every score the search can return.

#include "board/units.h"

namespace zelmora {

constexpr int WINDOW_END = MATE + 1;  // the open ends of the search window

}  // namespace zelmora
