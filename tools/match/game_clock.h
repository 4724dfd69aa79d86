#pragma once
// Time controls and the chess clock the runner keeps for each side. All times in microseconds.

#include <cstdint>
#include <optional>
#include <string>

namespace zelmora::match {

// "[moves/]seconds[+increment]": 10+0.1 (sudden death with increment), 40/60 (40 moves in a
// minute, repeating), 40/60+0.5.
struct TimeControl {
    int movesPerPeriod = 0;  // 0: the whole game is one period
    std::int64_t baseUs = 0;
    std::int64_t incrementUs = 0;

    static std::optional<TimeControl> parse(const std::string& text);
    std::string text() const;  // also the PGN TimeControl tag
};

class GameClock {
public:
    explicit GameClock(const TimeControl& control = {}) : control_(control) { reset(); }

    void reset();
    std::int64_t remainingUs() const { return remainingUs_; }
    // Moves to the end of the period, 0 without periods.
    int movesToGo() const;
    int movesMade() const { return movesMade_; }

    // Charges a move that took elapsedUs. False (the flag fell) when it took more than the
    // remaining time plus the margin; otherwise the clock is charged, never below zero, and the
    // increment and, at the end of a period, the next period's time are added.
    bool charge(std::int64_t elapsedUs, std::int64_t marginUs);

private:
    TimeControl control_;
    std::int64_t remainingUs_ = 0;
    int movesMade_ = 0;
};

}  // namespace zelmora::match
