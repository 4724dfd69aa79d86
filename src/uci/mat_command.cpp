// "mat": statistics of material classes from games, and the network learning built on them.
//   mat add FILE [value N] [ELO N]   quiet positions of the games of FILE into the statistics
//   mat rnd N                        N random games into the statistics
//   mat writemem FILE / readmem FILE the raw statistics as a binary file, and back
//   mat write FILE                   the training file; drops the statistics
//   mat delete                       drops the statistics
//   mat learn FILE                   trains the material network on a training file (endless)
// The first keyword that starts the text decides. Problems go to standard error.

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "material/statistics.h"
#include "material/learning.h"
#include "control/search_control.h"
#include "uci/uci_protocol.h"
#include "util/platform.h"
#include "util/random.h"
#include "util/text.h"

namespace zelmora {

namespace {

constexpr std::size_t MAX_FILE_NAME = 1023;
constexpr std::int64_t MAX_GAME_VALUE = 1000000;

__attribute__((format(printf, 1, 2))) void complain(const char* format, ...) {
    std::fputs("info string mat", stderr);
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(stderr, format, arguments);
    va_end(arguments);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

// Up to end, blanks at both ends dropped (a name with trailing blanks is never meant), at most
// MAX_FILE_NAME characters.
std::string fileName(const char* text, const char* end = nullptr) {
    text = skipWhite(text);
    if (end == nullptr) end = text + std::strlen(text);
    while (end > text && isWhite(end[-1])) --end;
    return std::string(text, std::min(std::size_t(end - text), MAX_FILE_NAME));
}

// The number behind the first keyword in text; false (after a message) when one is there
// without a number.
bool numberAfter(const char* text, const char* keyword, std::int64_t& value) {
    const char* found = std::strstr(text, keyword);
    if (found == nullptr) return true;
    if (readInteger(found + std::strlen(keyword), value)) return true;
    complain(" add: a number must follow '%s'", keyword);
    return false;
}

}  // namespace

void UciProtocol::mat(const char* line) {
    const char* arguments = skipWhite(skipWord(skipWhite(line)));

    if (startsWith(arguments, "learn")) {
        const std::string name = fileName(arguments + 5);
        if (name.empty()) return complain(" learn: training file expected");
        setIdlePriority();
        Network network = control_->mainEngine().evaluator.material.network();
        runMaterialLearning(name.c_str(), network, RandomGenerator::instance(), stderr);
        return;
    }
    if (startsWith(arguments, "delete")) {
        materialStatistics_.reset();
        return;
    }
    if (startsWith(arguments, "rnd ")) {
        std::int64_t games = 0;
        if (!readInteger(arguments + 4, games) || games < 0)
            return complain(" rnd: a number of games (0 or more) expected, not '%s'", skipWhite(arguments + 4));
        if (!materialStatistics_) materialStatistics_.reset(new (std::nothrow) MaterialStatistics());
        if (!materialStatistics_) return complain(" rnd: out of memory");
        RandomGenerator& random = RandomGenerator::instance();
        random.reseed();
        for (int i = 0; i < 20; ++i) random.next();
        materialStatistics_->addRandomGames(games, random);
        std::fprintf(stderr, "info string mat rnd: %lld games played, %zu material classes\n", (long long)games,
                     materialStatistics_->classes.size());
        std::fflush(stderr);
        return;
    }
    if (startsWith(arguments, "add ")) {
        const char* text = arguments + 4;
        // The name runs to the blank before "value " or "ELO ", whichever comes first.
        const char* value = std::strstr(text, "value ");
        const char* elo = std::strstr(text, "ELO ");
        const char* end = value == nullptr ? elo : elo == nullptr ? value : std::min(value, elo);
        const std::string name = fileName(text, end);
        if (name.empty()) return complain(" add: PGN file expected");
        std::int64_t gameValue = MaterialStatistics::DEFAULT_GAME_VALUE, minimumElo = -1;
        if (!numberAfter(text, "value ", gameValue) || !numberAfter(text, "ELO ", minimumElo)) return;
        if (gameValue < 0 || gameValue > MAX_GAME_VALUE) return complain(" add: the game value must lie in 0..1000000");
        if (minimumElo > INT32_MAX) minimumElo = INT32_MAX;
        if (!materialStatistics_) materialStatistics_.reset(new (std::nothrow) MaterialStatistics());
        if (!materialStatistics_) return complain(" add: out of memory");
        materialStatistics_->addGames(name.c_str(), int(gameValue), int(std::max<std::int64_t>(minimumElo, INT32_MIN)));
        return;
    }
    if (startsWith(arguments, "writemem ")) {
        const std::string name = fileName(arguments + 9);
        if (name.empty()) return complain(" writemem: file name expected");
        if (materialStatistics_) materialStatistics_->writeDump(name.c_str());
        return;
    }
    if (startsWith(arguments, "readmem ")) {
        const std::string name = fileName(arguments + 8);
        if (name.empty()) return complain(" readmem: file name expected");
        if (!materialStatistics_) materialStatistics_.reset(new (std::nothrow) MaterialStatistics());
        if (!materialStatistics_) return complain(" readmem: out of memory");
        materialStatistics_->readDump(name.c_str());
        return;
    }
    if (startsWith(arguments, "write ")) {
        const std::string name = fileName(arguments + 6);
        if (name.empty()) return complain(" write: file name expected");
        if (!materialStatistics_) return;
        materialStatistics_->writeTrainingFile(name.c_str());
        // Written or not, the statistics are gone: a second write would fold them twice.
        materialStatistics_.reset();
        return;
    }
    complain(": '%s' is no subcommand with its argument (learn FILE, delete, rnd N, add FILE, writemem FILE, "
             "readmem FILE, write FILE)", arguments);
}

}  // namespace zelmora
