// "mat rnd": games of weighted random moves from Chess960 start positions. They show how
// material classes end when nobody plays well; every class that stands for two plies running
// counts once per game, straight into the class map.

#include <utility>
#include <vector>

#include "board/game_record.h"
#include "board/movegen.h"
#include "material/statistics.h"
#include "util/random.h"

namespace zelmora {

namespace {

constexpr int CHESS960_POSITIONS = 960;
constexpr std::uint32_t BASE_WEIGHT = 100;
constexpr std::uint32_t MATE_WEIGHT = 10100;
constexpr std::uint32_t BONUS = 100;
constexpr int RANDOM_GAME_VALUE = 1000;

// Moves that save a hanging piece, land safely or win material, and queen promotions, are
// twice to three times as likely as the rest: enough that material is not simply given away.
std::uint32_t bonusOf(const Position& pos, Move m) {
    const SideRecord& us = pos.us();
    const SideRecord& them = pos.them();
    const Bitboard from = bit(moveFrom(m)), to = bit(moveTo(m));
    std::uint32_t bonus = 0;
    // our attack sets live in the opponent's record: them.attackedByEnemy is what we defend
    if ((us.attackedByEnemy & from) && !(them.attackedByEnemy & from)) bonus += BONUS;
    // Safe: the destination is not attacked, or what is taken there pays for the mover.
    const int gain = PIECE_VALUE[pos.pieceOn(~pos.sideToMove(), moveTo(m))];
    if (!(us.attackedByEnemy & to) || gain >= PIECE_VALUE[movePiece(m)]) bonus += BONUS;
    if (movePromotion(m) == QUEEN) bonus += BONUS;
    return bonus;
}

struct Choice {
    Move move;
    std::uint32_t weight;
};

// The legal moves of the position with their weights; an empty list when the game is over.
int weighMoves(Position& pos, Choice* choices) {
    MoveEntry list[MAX_MOVES];
    const int n = generateMoves(pos, list);
    int count = 0;
    for (int i = 0; i < n; ++i) {
        const Move m = list[i].move;
        const std::uint32_t bonus = bonusOf(pos, m);
        UndoRecord undo;
        if (!pos.makeLegal(m, undo)) continue;
        const bool mates = pos.inCheck() && noLegalMove(pos);
        pos.unmake(undo);
        choices[count++] = {m, (mates ? MATE_WEIGHT : BASE_WEIGHT) + bonus};
    }
    return count;
}

Move pickMove(const Choice* choices, int count, RandomGenerator& random) {
    std::uint32_t total = 0;
    for (int i = 0; i < count; ++i) total += choices[i].weight;
    std::uint32_t r = random.below(total);
    int i = 0;
    while (r >= choices[i].weight) r -= choices[i++].weight;
    return choices[i].move;
}

}  // namespace

void MaterialStatistics::addRandomGames(std::int64_t count, RandomGenerator& random) {
    std::vector<std::pair<std::uint64_t, bool>> plyClasses;  // class key and whether Black leads, per ply
    for (std::int64_t game = 0; game < count; ++game) {
        GameRecord record;
        record.setChess960((random.next() % CHESS960_POSITIONS + 1) % CHESS960_POSITIONS);
        plyClasses.clear();
        int whitePoints;
        for (;;) {
            Choice choices[MAX_MOVES];
            const int n = weighMoves(record.position, choices);
            if (n == 0) {
                const bool mated = record.position.inCheck();
                whitePoints = !mated ? RANDOM_GAME_VALUE / 2 : record.position.whiteToMove() ? 0 : RANDOM_GAME_VALUE;
                break;
            }
            record.playMove(pickMove(choices, n, random));
            plyClasses.emplace_back(materialClassKey(record.position), blackLeads(record.position));
            if (record.claimableDraw() != NO_DRAW) {
                whitePoints = RANDOM_GAME_VALUE / 2;
                break;
            }
        }

        std::uint64_t previousKey = 0, lastRecordedKey = 0;
        for (const auto& [key, blackAhead] : plyClasses) {
            if (key != 0 && key == previousKey && key != lastRecordedKey) {
                MaterialClassRecord& entry = classes[key];
                entry.advantageSum = 0;
                entry.weightSum += RANDOM_GAME_VALUE;
                entry.pointsSum += blackAhead ? RANDOM_GAME_VALUE - whitePoints : whitePoints;
                lastRecordedKey = key;
            }
            previousKey = key;
        }
    }
}

}  // namespace zelmora
