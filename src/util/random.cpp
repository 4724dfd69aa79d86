#include "util/random.h"

#include <ctime>

namespace zelmora {

RandomGenerator::RandomGenerator() { seed(static_cast<std::uint32_t>(std::time(nullptr))); }

RandomGenerator::RandomGenerator(std::uint32_t s2Seed) { seed(s2Seed); }

void RandomGenerator::reseed() { seed(static_cast<std::uint32_t>(std::time(nullptr))); }

void RandomGenerator::seed(std::uint32_t s2Seed) {
    s0_ = 0x01234567u;
    s1_ = 0x89ABCDEFu;
    s2_ = s2Seed != 0 ? s2Seed : 1u;  // an all-zero register would never leave zero
    for (int i = 0; i < 20; ++i) next();
}

std::uint32_t RandomGenerator::next() {
    std::uint32_t t = s0_ & 0x08000001u;
    s0_ >>= 1;
    if (t == 0x08000000u || t == 0x00000001u) {
        s0_ |= 0x80000000u;
        // New bits 29..31 are old bits 0..2 XOR old bits 17..19.
        std::uint32_t feedback = ((s1_ ^ (s1_ >> 17)) & 7u) << 29;
        s1_ = (s1_ >> 3) | feedback;
    } else {
        // New bit 0 is old bits 30 XOR 19, new bit 1 is old bits 31 XOR 20.
        std::uint32_t feedback = ((s2_ >> 30) ^ (s2_ >> 19)) & 3u;
        s2_ = (s2_ << 2) | feedback;
    }
    return s2_ ^ s1_ ^ s0_;
}

RandomGenerator& RandomGenerator::instance() {
    static RandomGenerator generator;
    return generator;
}

}  // namespace zelmora
