#include "match/game_clock.h"

#include <cmath>
#include <cstdlib>

namespace zelmora::match {

namespace {

// Non-negative decimal seconds; nullopt for anything else.
std::optional<std::int64_t> parseSeconds(const std::string& text) {
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string::npos) return std::nullopt;
    char* end = nullptr;
    const double seconds = std::strtod(text.c_str(), &end);
    if (*end || !std::isfinite(seconds) || seconds > 1e7) return std::nullopt;
    return std::int64_t(std::llround(seconds * 1e6));
}

std::string secondsText(std::int64_t us) {
    std::string text = std::to_string(us / 1000000);
    if (std::int64_t fraction = us % 1000000) {
        std::string digits = std::to_string(fraction);
        digits.insert(0, 6 - digits.size(), '0');
        while (digits.back() == '0') digits.pop_back();
        text += "." + digits;
    }
    return text;
}

}  // namespace

std::optional<TimeControl> TimeControl::parse(const std::string& text) {
    TimeControl tc;
    std::string rest = text;
    if (const std::size_t slash = rest.find('/'); slash != std::string::npos) {
        const std::string moves = rest.substr(0, slash);
        if (moves.empty() || moves.size() > 4 || moves.find_first_not_of("0123456789") != std::string::npos)
            return std::nullopt;
        tc.movesPerPeriod = std::atoi(moves.c_str());
        if (tc.movesPerPeriod <= 0) return std::nullopt;
        rest = rest.substr(slash + 1);
    }
    std::string increment;
    if (const std::size_t plus = rest.find('+'); plus != std::string::npos) {
        increment = rest.substr(plus + 1);
        rest = rest.substr(0, plus);
        const auto inc = parseSeconds(increment);
        if (!inc) return std::nullopt;
        tc.incrementUs = *inc;
    }
    const auto base = parseSeconds(rest);
    if (!base || (*base == 0 && tc.incrementUs == 0)) return std::nullopt;
    tc.baseUs = *base;
    return tc;
}

std::string TimeControl::text() const {
    std::string text;
    if (movesPerPeriod) text = std::to_string(movesPerPeriod) + "/";
    text += secondsText(baseUs);
    if (incrementUs) text += '+' + secondsText(incrementUs);
    return text;
}

void GameClock::reset() {
    remainingUs_ = control_.baseUs;
    movesMade_ = 0;
}

int GameClock::movesToGo() const {
    return control_.movesPerPeriod ? control_.movesPerPeriod - movesMade_ % control_.movesPerPeriod : 0;
}

bool GameClock::charge(std::int64_t elapsedUs, std::int64_t marginUs) {
    if (elapsedUs > remainingUs_ + marginUs) return false;
    remainingUs_ = std::max<std::int64_t>(remainingUs_ - elapsedUs, 0) + control_.incrementUs;
    ++movesMade_;
    if (control_.movesPerPeriod && movesMade_ % control_.movesPerPeriod == 0) remainingUs_ += control_.baseUs;
    return true;
}

}  // namespace zelmora::match
