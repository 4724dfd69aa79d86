#pragma once
// The signature of a game's move sequence, with which the game tools recognise a game seen
// before: every ply XORs two numbers of a random table into it, one chosen by the move's
// from-square, one by its to-square.

#include <cstdint>

#include "board/types.h"

namespace zelmora {

class RandomGenerator;

struct GameSignatureTable {
    static constexpr int PLIES = 300;
    static constexpr int NUMBERS = 128 * PLIES;

    // Draws the numbers from the generator, discarding 20 outputs before each kept one.
    void fill(RandomGenerator& random);
    // The signature with ply (below PLIES) and its move folded in; a game starts from 0.
    std::uint64_t fold(std::uint64_t signature, int ply, Move m) const {
        const std::uint32_t low = numbers[128 * ply + (m & 63)];
        const std::uint32_t high = numbers[128 * ply + 64 + ((m >> 6) & 1023)];
        return signature ^ (std::uint64_t(high) << 32 | low);
    }

    std::uint32_t numbers[NUMBERS];
};

}  // namespace zelmora
