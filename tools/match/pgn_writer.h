#pragma once
// A finished game as PGN text: the tag roster, SAN moves with the engines' score, depth and time
// in comments, and the result.

#include <string>

#include "match/game.h"

namespace zelmora::match {

struct PgnTags {
    std::string event = "?";
    std::string site = "?";
    std::string date = "????.??.??";
    int round = 1;
    std::string white, black;
    std::string timeControl;  // empty: no tag
    bool chess960 = false;
};

// Today's date the PGN way: 2024.05.17.
std::string pgnDate();

std::string pgnText(const PgnTags& tags, const Game& game);

}  // namespace zelmora::match
