#pragma once

// How material configurations turn out in games: the state of the "mat" command.

namespace zelmora {

class MaterialStatistics {};

}  // namespace zelmora
