#include "uci/test_position_job.h"

#include <cstdlib>
#include <string>

#include "board/game_record.h"
#include "control/time_budget.h"
#include "pgn/pgn_reader.h"
#include "search/standalone_search.h"
#include "search/transposition_table.h"
#include "util/random.h"

namespace zelmora {

namespace {

constexpr int NAME_MINIMUM = 4;  // a shorter position file name switches that file off
constexpr int SCORE_BAND = 5500;

// Search scores far from the quiet value, beyond what the material can explain, mark positions
// whose static value misleads; the band is lopsided on purpose, as it always was.
bool inBand(int score, int value) { return -SCORE_BAND - value <= score && score <= value + SCORE_BAND; }

// Heavy pieces count more and pawns less, so that the first file gets the positions with much
// material left, the second the endgame-like ones.
int materialWeight(const Position& pos) {
    const SideRecord& w = pos.side(WHITE);
    const SideRecord& b = pos.side(BLACK);
    return 3 * (pos.pieceCount() + 2 * (w.count[QUEEN] + b.count[QUEEN])) +
           2 * (w.count[ROOK] + b.count[ROOK] - w.count[PAWN] - b.count[PAWN]);
}

}  // namespace

TestPositionJob::TestPositionJob(RandomGenerator& random, std::FILE* progress, std::FILE* messages)
    : random_(random), progress_(progress), messages_(messages) {}

TestPositionJob::~TestPositionJob() {
    for (std::FILE*& file : positionFiles_)
        if (file != nullptr) std::fclose(file);
}

bool TestPositionJob::run(const char* controlFileName) {
    summary_ = TestPositionSummary{};
    controlFileName_ = controlFileName;
    // Without its control file the job does not know what to do; it ends without a word.
    if (!readTestPositionControl(controlFileName, control_)) return false;

    keys_.clear();
    openPositionFiles();
    const long lastDone = control_.lastGame;
    bool done = false;
    {
        PgnReader reader(control_.pgnFile.c_str(), messages_);
        if (reader.isOpen()) {
            PgnGame game;
            for (long number = 1; reader.nextGame(0, game); ++number) {
                if (number <= lastDone || game.moves.size() < std::size_t(MINIMUM_PLIES)) continue;
                std::fprintf(progress_, "M:<%s> E:<%s>: Partie %6ld\n", control_.positionFiles[0].c_str(),
                             control_.positionFiles[1].c_str(), number);
                std::fflush(progress_);
                ++summary_.gamesWalked;
                walkGame(number, game.moves, game.fen.c_str());
            }
            done = true;
        }
    }
    for (std::FILE*& file : positionFiles_) {
        if (file != nullptr) std::fclose(file);
        file = nullptr;
    }
    search_.reset();
    return done;
}

void TestPositionJob::openPositionFiles() {
    PositionFileScan scans[2];
    for (int i = 0; i < 2; ++i) scans[i] = collectPositionKeys(control_.positionFiles[i].c_str(), keys_);
    for (int i = 0; i < 2; ++i) {
        const std::string& name = control_.positionFiles[i];
        if (name.size() < std::size_t(NAME_MINIMUM)) continue;
        positionFiles_[i] = std::fopen(name.c_str(), "ab");
        if (positionFiles_[i] == nullptr) {
            std::fprintf(messages_, "info string testpos: cannot append to %s\n", name.c_str());
            std::fflush(messages_);
        } else if (scans[i].endsInsideLine) {
            // A line cut off by a kill would swallow the next one.
            std::fputc('\n', positionFiles_[i]);
            std::fflush(positionFiles_[i]);
        }
    }
}

void TestPositionJob::walkGame(long number, const std::vector<Move>& moves, const char* fen) {
    search_.reset();
    search_ = std::make_unique<StandaloneSearch>(TABLE_BYTES);
    GameRecord& game = search_->shared.game;
    if (*fen != '\0' && !game.setFen(fen)) {
        std::fprintf(messages_, "info string testpos: game %ld has an unusable FEN\n", number);
        std::fflush(messages_);
        return;
    }

    std::size_t next = 0;
    std::uint32_t stride = random_.below(13);
    for (;;) {
        for (std::uint32_t k = 0; k < stride; ++k) {
            if (next == moves.size()) return;
            game.playMove(moves[next++]);
        }
        stride = game.keyCount > 5 ? random_.below(4) + 1 : random_.below(2) + 1;
        if (examine(game, number) == Verdict::STOP_GAME) return;
    }
}

TestPositionJob::Verdict TestPositionJob::examine(const GameRecord& game, long number) {
    const Position& pos = game.position;
    if (pos.pieceCount() <= 5 || game.keyCount > 20) return Verdict::STOP_GAME;
    if (game.keyCount > 10) return Verdict::NEXT;
    const int target = materialWeight(pos) >= 29 + int(random_.below(14)) ? 0 : 1;
    if (positionFiles_[target] == nullptr) return Verdict::NEXT;
    // Marked as seen before the tests, so that a rejected position is not tried again.
    if (!keys_.insert(pos.key()).second) return Verdict::NEXT;
    if (pos.inCheck()) return Verdict::NEXT;

    // Quiet: nothing the quiescence search finds moves the value off the static evaluation.
    // It starts at the depth a search leaf hands it, so checks count as unrest too.
    Engine& engine = search_->engine;
    engine.prepareSearch();
    const int e = engine.evaluator.evaluate(pos);
    const int v = engine.quiesce(e - 1, e + 1, -1);
    if (v <= e - 1 || v >= e + 1) return Verdict::NEXT;
    if (std::abs(v) > 500 + int(pos.key() % 2001)) return Verdict::NEXT;

    engine.buildRootMoves();
    if (engine.rootMoveCount == 0) return Verdict::STOP_GAME;
    ++summary_.candidatesSearched;
    int s = searchScore(QUICK_NODES);
    if (inBand(s, v)) s = searchScore(fullNodes);
    if (!inBand(s, v) || (s >= -1 && s <= 1)) return Verdict::NEXT;
    keep(target, number, v, s, game);
    return Verdict::NEXT;
}

int TestPositionJob::searchScore(std::int64_t nodes) {
    Engine& engine = search_->engine;
    TimeLimits limits;
    GoParameters go;
    go.nodes = nodes;
    limits.setBudget(go, false);
    engine.clock = &limits;
    search_->shared.stop = false;
    search_->shared.ponder = false;
    limits.start();
    engine.think();
    limits.stop();
    engine.clock = nullptr;
    return engine.lastScore;
}

// The control file is rewritten first: a job killed before the line is appended resumes with the
// next game and gives up only this one position, which no file holds; nothing can be written twice.
void TestPositionJob::keep(int target, long number, long value, long score, const GameRecord& game) {
    control_.lastGame = number;
    if (!writeTestPositionControl(controlFileName_, control_)) {
        std::fprintf(messages_, "info string testpos: cannot rewrite %s\n", controlFileName_);
        std::fflush(messages_);
    }
    char fen[128];
    game.position.writeFen(fen);
    if (appendPositionLine(positionFiles_[target], value, score, fen)) {
        ++summary_.kept[target];
    } else {
        std::fprintf(messages_, "info string testpos: cannot write to %s\n", control_.positionFiles[target].c_str());
        std::fflush(messages_);
    }
}

}  // namespace zelmora
