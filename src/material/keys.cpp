// The material class of a position: both sides' piece counts and how their bishops relate.

#include "board/bitboard.h"
#include "material/statistics.h"

namespace zelmora {

std::uint32_t materialCode(const SideRecord& side) {
    std::uint32_t code = 0;
    for (int type = QUEEN; type >= PAWN; --type) code = code << 4 | (std::uint32_t(side.count[type]) & 15);
    return code;
}

int bishopClass(const Position& pos) {
    const Bitboard white = pos.side(WHITE).pieces[BISHOP], black = pos.side(BLACK).pieces[BISHOP];
    if (!white || !black) return 0;
    const bool whiteLight = (white & LIGHT_SQUARES) != 0, whiteDark = (white & DARK_SQUARES) != 0;
    const bool blackLight = (black & LIGHT_SQUARES) != 0, blackDark = (black & DARK_SQUARES) != 0;
    if ((whiteLight && whiteDark) || (blackLight && blackDark)) return 3;
    return whiteLight == blackLight ? 2 : 1;
}

std::uint64_t materialClassKey(const Position& pos) {
    const std::uint64_t white = materialCode(pos.side(WHITE)), black = materialCode(pos.side(BLACK));
    if (white == black) return 0;
    const std::uint64_t strong = white > black ? white : black, weak = white > black ? black : white;
    return strong << 24 | weak << 4 | std::uint64_t(bishopClass(pos));
}

}  // namespace zelmora
