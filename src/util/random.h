#pragma once
// The program-wide pseudo-random generator: three shift registers combined by XOR.

#include <cstdint>

namespace zelmora {

class RandomGenerator {
public:
    // Seeds s2 with the calendar time in seconds.
    RandomGenerator();
    // Seeds s2 with the given value (tests and reproducible runs).
    explicit RandomGenerator(std::uint32_t s2Seed);

    std::uint32_t next();
    // A number below n (n > 0), taken modulo n.
    std::uint32_t below(std::uint32_t n) { return next() % n; }

    // The one instance shared by the whole program, created on first use.
    static RandomGenerator& instance();
    // Starts over exactly as the time-seeded constructor does.
    void reseed();

private:
    void seed(std::uint32_t s2Seed);

    std::uint32_t s0_, s1_, s2_;
};

}  // namespace zelmora
