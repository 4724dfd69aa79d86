#pragma once
// The xboard time control: up to three periods of "level", and what each move of the game is
// due under them.

namespace zelmora {

// Clock figures from the interface are kept within a thousand years either way, so that every sum
// and conversion made of them stays in range; what is no number at all counts as 0.
constexpr double MAX_CLOCK_MS = 3.2e13;
double clampClock(double milliseconds);

struct TimePeriod {
    int moves;           // moves in the period; 0 = the rest of the game, -1 = no such period
    double baseMs;       // time given at the start of the period
    double incrementMs;  // time added after each move
};

class TimeControl {
public:
    static constexpr int PERIODS = 3;
    static constexpr double DEFAULT_BASE_MS = 300000.0;

    TimeControl() { reset(); }

    // One period of five minutes for the whole game.
    void reset();
    // Reads "MPS BASE INC" up to three times (BASE in minutes or minutes:seconds). False, with
    // nothing changed, unless the fields come in complete groups of three.
    bool parseLevel(const char* text);

    // Moves left until the next time control for the move after halfMoves half-moves;
    // 0 when the period lasts for the rest of the game.
    int movesToGo(int halfMoves) const;
    // Increment of the period in force for the move after halfMoves half-moves.
    double increment(int halfMoves) const;
    // Time credited once the engine has made the move after halfMoves half-moves: the increment,
    // and the next period's base time when the move closes a period.
    double creditAfterMove(int halfMoves) const;

    const TimePeriod& period(int i) const { return periods_[i]; }

private:
    struct Lookup {
        int index;      // the period in force
        int movesToGo;  // 0 for none
        int next;       // period that follows once this one is played out
    };
    Lookup lookUp(int halfMoves) const;

    TimePeriod periods_[PERIODS];
};

}  // namespace zelmora
