#pragma once
// The one message for a file that cannot be opened or written, on the error channel at once.

#include <cstdio>

namespace zelmora {

// what: "opening the output file", "writing the output file" or "opening the input file".
inline void reportFileError(std::FILE* errors, const char* what, const char* fileName) {
    std::fprintf(errors, "info string error %s %s\n", what, fileName);
    std::fflush(errors);
}

}  // namespace zelmora
