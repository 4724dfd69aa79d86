#pragma once
// Byte-wise reading of a stream that only one thread uses, without taking the stream's lock on
// every byte (the readers of big PGN and book files go through here).

#include <cstdio>

namespace zelmora {

inline int getByteUnlocked(std::FILE* file) {
#if defined(_WIN32)
    return _getc_nolock(file);
#else
    return getc_unlocked(file);
#endif
}

}  // namespace zelmora
