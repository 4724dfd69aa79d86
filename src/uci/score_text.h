#pragma once

#include <cstddef>

namespace zelmora {

// Writes the UCI score of an internal score, e.g. " score cp 12 lowerbound" or " score mate -3",
// into buffer; returns the number of characters written (as snprintf).
int formatScore(char* buffer, std::size_t size, int score, int alpha, int beta);

}  // namespace zelmora
