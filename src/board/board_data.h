#pragma once
// Fixed data of the program, generated once by tools/gen_board_tables.cpp (board_data.cpp).

#include <cstdint>

namespace zelmora::data {

struct Magic {
    std::uint64_t multiplier;
    int bits;
};

// [colour][piece type][square]; row 0 of White holds the castling and en-passant keys.
extern const std::uint64_t ZOBRIST_KEYS[2 * 7 * 64];
// [colour][piece type - 1][count 0..15] for pawn..queen; the steps hold key[c] ^ key[c + 1].
extern const std::uint32_t MATERIAL_KEYS[2 * 5 * 16];
extern const std::uint32_t MATERIAL_KEY_STEPS[2 * 5 * 16];
extern const Magic BISHOP_MAGICS[64];
extern const Magic ROOK_MAGICS[64];

}  // namespace zelmora::data
