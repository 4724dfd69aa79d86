// "book add": games into statistics. Each game adds its points to every move of its first 37
// plies; a game whose first 99 plies were seen before only adds what it earns beyond them.

#include <algorithm>
#include <cinttypes>

#include "book/book_builder.h"
#include "pgn/pgn_reader.h"
#include "util/random.h"

namespace zelmora {

namespace {

constexpr std::uint32_t PRIOR_POINTS = 1000;
constexpr std::uint64_t PROGRESS_EVERY = 2000;

std::uint32_t excess(std::uint32_t now, std::uint32_t before) { return now > before ? now - before : 0; }

}  // namespace

BookBuilder::BookBuilder() { signatures.fill(RandomGenerator::instance()); }

std::vector<MoveStats>* BookBuilder::statsOf(std::uint64_t key) {
    const auto found = positions.find(key);
    return found != positions.end() ? &found->second : nullptr;
}

bool BookBuilder::addGames(const char* fileName, std::uint32_t gameValue, bool allGames, int minimumElo,
                           std::FILE* messages) {
    PgnReader reader(fileName, messages);
    if (!reader.isOpen()) return false;
    PgnGame game;
    std::uint64_t read = 0, added = 0;
    while (reader.nextGame(minimumElo, game)) {
        ++read;
        if (game.result != UNFINISHED) {
            const int sign = game.result == WHITE_WINS ? 1 : game.result == BLACK_WINS ? -1 : 0;
            if (addGame(game.moves, game.fen.empty() ? nullptr : game.fen.c_str(), gameValue, allGames, sign))
                ++added;
        }
        // Big collections take a while: show that work goes on.
        if (read % PROGRESS_EVERY == 0) {
            std::fprintf(messages, "info string book add: %" PRIu64 " games read, %" PRIu64 " added\n", read, added);
            std::fflush(messages);
        }
    }
    gamesRead += read;
    gamesAdded += added;
    std::fprintf(messages, "info string book add: %s: %" PRIu64 " games read, %" PRIu64 " added, %zu positions\n",
                 fileName, read, added, positions.size());
    std::fflush(messages);
    return true;
}

bool BookBuilder::addGame(const std::vector<Move>& moves, const char* fen, std::uint32_t gameValue, bool allGames,
                          int resultSign) {
    std::uint32_t a = resultSign > 0 ? gameValue : resultSign < 0 ? 0 : gameValue / 2;
    std::uint32_t b = resultSign < 0 ? gameValue : resultSign > 0 ? 0 : gameValue / 2;
    b = b * 108 / 100;  // Black's results weigh 8 % more: the same score is harder to reach with Black

    Position start;
    if (fen != nullptr && start.setFen(fen) == nullptr) return false;

    // A walk that stops at a repeated position could shorten games here; every recorded ply lies
    // within the first 37, where real games hardly repeat, so the walk takes the whole game.
    const int total = int(moves.size());
    int plies = std::min(total, SIGNATURE_PLIES);
    std::uint64_t signature = 0;
    for (int i = 0; i < std::min(plies, SIGNED_PLIES); ++i) signature = signatures.fold(signature, i, moves[i]);
    if (plies < RECORDED_PLIES && !allGames) return false;
    plies = std::min(plies, RECORDED_PLIES);

    if (!allGames) {
        const auto [seen, isNew] = games.try_emplace(signature, GamePoints{a, b});
        if (!isNew) {
            const std::uint32_t moreA = excess(a, seen->second.white), moreB = excess(b, seen->second.black);
            if (moreA == 0 && moreB == 0) return false;
            seen->second.white += moreA;
            seen->second.black += moreB;
            a = moreA;
            b = moreB;
        }
    }

    Position position = start;
    for (int i = 0; i < plies; ++i) {
        std::uint32_t ai = a, bi = b;
        if (!allGames) {
            // Plies far from the end of the game carry a result diluted towards a draw.
            const double f = std::clamp(1.0 - double(total - i - 36) / 328.0, 0.55, 1.0);
            ai = std::uint32_t(f * a + (1.0 - f) * b);
            bi = std::uint32_t(f * b + (1.0 - f) * a);
        }
        std::vector<MoveStats>& list = positions[position.key()];
        UndoRecord undo;
        if (!position.makeLegal(moves[i], undo)) return false;
        const auto entry = std::find_if(list.begin(), list.end(), [&](const MoveStats& s) { return s.move == moves[i]; });
        if (entry != list.end()) {
            entry->whitePoints += ai;
            entry->blackPoints += bi;
        } else {
            list.push_back({ai + PRIOR_POINTS, bi + PRIOR_POINTS, moves[i], MoveStats::NOT_SCORED, 0, false});
        }
    }
    return true;
}

}  // namespace zelmora
