#pragma once
// The book's answer for a position: one of its moves, drawn with probability by weight.

#include <cstdint>

#include "board/position.h"
#include "util/random.h"

namespace zelmora {

class TranspositionTable;

// False when the table holds no book, no record for the key, only weights summing below 1, or
// only the placeholder record.
bool probeBook(TranspositionTable& table, std::uint64_t key, Move& move,
               RandomGenerator& random = RandomGenerator::instance());

}  // namespace zelmora
