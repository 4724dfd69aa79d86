// "mat add": quiet positions of real games into the position map. A position counts once the
// material has stood still for a few plies and a quiescence search finds nothing to win, both
// on it and after the reply the game chose; it then collects the game's result for the leading
// side, an advantage estimate and the number of plies still to come.

#include <algorithm>
#include <cinttypes>
#include <memory>

#include "board/movegen.h"
#include "material/statistics.h"
#include "pgn/pgn_reader.h"
#include "search/standalone_search.h"
#include "search/transposition_table.h"
#include "util/random.h"

namespace zelmora {

namespace {

constexpr std::size_t PRIVATE_TABLE_BYTES = 10000;
constexpr int PRIVATE_NEURO_MATERIAL = 40;
constexpr int PRIVATE_NEURO_WIDTH = 300;
constexpr int MINIMUM_MEN = 4;
constexpr int STABLE_PLIES = 2;  // plies the material must stand still; one more per check
constexpr double ELO_PER_PAWN = 110.0;
constexpr std::uint64_t PROGRESS_EVERY = 500;
constexpr std::uint32_t SIGNATURE_SEED = 0x4D617453;

// Sums over very many games must wrap rather than overflow.
std::int32_t addWrapping(std::int32_t sum, std::int32_t value) {
    return std::int32_t(std::uint32_t(sum) + std::uint32_t(value));
}

// Making a move trusts it to be one of the position's own; a caller's list may hold anything.
// The engine that judges quietness: a tiny table, and the network blended in as by default, so
// that the statistics do not depend on the options of the playing engine.
std::unique_ptr<StandaloneSearch> makePrivateSearch() {
    auto search = std::make_unique<StandaloneSearch>(PRIVATE_TABLE_BYTES);
    MaterialEvaluator& material = search->engine.evaluator.material;
    if (material.neuroMaterial() != PRIVATE_NEURO_MATERIAL || material.neuroWidth() != PRIVATE_NEURO_WIDTH) {
        material.setNeuroMaterial(PRIVATE_NEURO_MATERIAL);
        material.setNeuroWidth(PRIVATE_NEURO_WIDTH);
        search->engine.evaluator.clearCaches();
    }
    return search;
}

}  // namespace

// The stand-pat value is the full static evaluation, so "unchanged" is measured against it: a
// window around the bare material term would almost never contain the quiescence result.
bool quietTest(Engine& engine) {
    if (engine.position.inCheck()) return false;
    engine.ply = -1;
    const int eval = engine.evaluator.evaluate(engine.position);
    return engine.quiesce(eval - 1, eval + 1, -1) == eval;
}

// A generator of its own with a fixed seed: the numbers must be the same in every run, or the
// signatures in a dump written by an earlier run would never match a game again.
MaterialStatistics::MaterialStatistics() {
    RandomGenerator generator(SIGNATURE_SEED);
    signatures.fill(generator);
}

bool MaterialStatistics::addGames(const char* fileName, int gameValue, int minimumElo, std::FILE* messages) {
    PgnReader reader(fileName, messages);
    if (!reader.isOpen()) return false;
    const std::size_t gamesBefore = games.size(), positionsBefore = positions.size();
    PgnGame game;
    std::uint64_t read = 0;
    while (reader.nextGame(minimumElo, game)) {
        ++read;
        if (game.result != UNFINISHED) {
            const int sign = game.result == WHITE_WINS ? 1 : game.result == BLACK_WINS ? -1 : 0;
            addGame(game.moves, game.fen.c_str(), game.whiteElo, game.blackElo, gameValue, sign);
        }
        // A big collection takes minutes: show that work goes on.
        if (read % PROGRESS_EVERY == 0) {
            std::fprintf(messages, "info string mat add: %" PRIu64 " games read, %zu added\n", read,
                         games.size() - gamesBefore);
            std::fflush(messages);
        }
    }
    const std::size_t added = games.size() - gamesBefore;
    gamesRead += read;
    gamesAdded += added;
    std::fprintf(messages, "info string mat add: %s: %" PRIu64 " games read, %zu added, %zu new positions, %zu in all\n",
                 fileName, read, added, positions.size() - positionsBefore, positions.size());
    std::fflush(messages);
    return true;
}

bool MaterialStatistics::addGame(const std::vector<Move>& moves, const char* fen, int whiteElo, int blackElo,
                                 int gameValue, int resultSign) {
    const int ratingDifference = whiteElo > 0 && blackElo > 0 ? whiteElo - blackElo : 0;
    const int whitePoints = resultSign > 0 ? gameValue : resultSign < 0 ? 0 : gameValue / 2;

    Position start;
    if (fen != nullptr && *fen != '\0' && start.setFen(fen) == nullptr) return false;

    const int plies = int(std::min<std::size_t>(moves.size(), GameSignatureTable::PLIES));
    Position position = start;
    std::uint64_t signature = 0;
    for (int i = 0; i < plies; ++i) {
        UndoRecord undo;
        if (!isGeneratedMove(position, moves[i]) || !position.makeLegal(moves[i], undo)) return false;
        signature = signatures.fold(signature, i, moves[i]);
    }
    if (plies < MINIMUM_PLIES) return false;
    if (!games.insert(signature).second) return true;

    position = start;
    const std::unique_ptr<StandaloneSearch> search = makePrivateSearch();
    Engine* const engine = &search->engine;
    std::uint64_t lastKey = 0, lastRecordedKey = 0;
    int stableCount = 0, requiredCount = STABLE_PLIES;

    for (int i = 0; i + 1 < plies; ++i) {
        if (position.pieceCount() < MINIMUM_MEN) break;
        UndoRecord undo;
        position.makeLegal(moves[i], undo);
        const bool inCheck = position.inCheck();
        if (inCheck) ++requiredCount;

        const std::uint64_t key = materialClassKey(position);
        const bool blackAhead = blackLeads(position);
        const int leaderPoints = key == 0 ? 0 : blackAhead ? gameValue - whitePoints : whitePoints;
        if (key != lastKey) {
            if (position.pieceCount() < MINIMUM_MEN) break;
            lastKey = key;
            stableCount = 0;
            requiredCount = STABLE_PLIES;
            continue;
        }
        ++stableCount;
        if (stableCount < requiredCount || key == 0 || key == lastRecordedKey || inCheck) continue;

        engine->position = position;
        if (!quietTest(*engine)) continue;

        // Both terms are turned to the leading side's view. The material score is taken from
        // the side to move's view and flipped when the other side leads; the rating difference
        // (White's view) is flipped whenever Black leads, so that it follows the leader too
        // and not the side to move.
        const int whiteMaterial = engine->evaluator.material.score(position);
        double advantage = position.whiteToMove() ? whiteMaterial : -whiteMaterial;
        if (blackAhead == bool(position.whiteToMove())) advantage = -advantage;
        const double rating = blackAhead ? -ratingDifference : ratingDifference;

        UndoRecord reply;
        engine->position.makeLegal(moves[i + 1], reply);
        if (!quietTest(*engine)) continue;

        MaterialPositionRecord& record = positions[position.key()];
        record.materialKey = key;
        record.advantageSum += (advantage * ELO_PER_PAWN * 0.001 + rating) * gameValue;
        record.pointsSum = addWrapping(record.pointsSum, leaderPoints);
        record.weightSum = addWrapping(record.weightSum, gameValue);
        record.remainingSum += double(std::uint32_t(plies - i) * std::uint32_t(gameValue));
        ++positionsRecorded;
        lastRecordedKey = key;
    }
    return true;
}

}  // namespace zelmora
