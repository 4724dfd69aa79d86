#pragma once
// The unattended "testpos" job: walks the games of a PGN file in random strides, checks the
// positions it lands on with a quiescence test and two short searches, and appends the good
// ones with their values to the position files that its control file names.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "board/types.h"
#include "uci/test_position_files.h"

namespace zelmora {

struct StandaloneSearch;
class GameRecord;
class RandomGenerator;

struct TestPositionSummary {
    long gamesWalked = 0;     // games that got a progress line
    long candidatesSearched = 0;
    long kept[2] = {0, 0};    // positions appended to each file
};

class TestPositionJob {
public:
    static constexpr std::size_t TABLE_BYTES = 20 * 1048576;
    static constexpr int MINIMUM_PLIES = 30;
    static constexpr std::int64_t QUICK_NODES = 500;
    static constexpr std::int64_t FULL_NODES = 150000;

    // Progress lines go to progress, problems with the files to messages.
    TestPositionJob(RandomGenerator& random, std::FILE* progress, std::FILE* messages = stderr);
    ~TestPositionJob();
    TestPositionJob(const TestPositionJob&) = delete;
    TestPositionJob& operator=(const TestPositionJob&) = delete;

    // False when the control file or the game file cannot be read. A killed job may simply be
    // started again: the control file names the last game that yielded a position, so the restart
    // walks the games after it (the rest of that game is given up, games after it are walked
    // anew), and the keys read from both position files keep every position out that stands there.
    bool run(const char* controlFileName);
    const TestPositionSummary& summary() const { return summary_; }

    // The node budget of the second search; tests lower it to stay quick.
    std::int64_t fullNodes = FULL_NODES;

private:
    enum class Verdict { NEXT, STOP_GAME };

    void openPositionFiles();
    void walkGame(long number, const std::vector<Move>& moves, const char* fen);
    Verdict examine(const GameRecord& game, long number);
    // Score of a node-limited search of the engine's game position.
    int searchScore(std::int64_t nodes);
    void keep(int target, long number, long value, long score, const GameRecord& game);

    RandomGenerator& random_;
    std::FILE* progress_;
    std::FILE* messages_;
    const char* controlFileName_ = nullptr;
    TestPositionControl control_;
    PositionKeySet keys_;
    std::FILE* positionFiles_[2] = {nullptr, nullptr};
    std::unique_ptr<StandaloneSearch> search_;
    TestPositionSummary summary_;
};

}  // namespace zelmora
