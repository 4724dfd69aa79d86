#pragma once
// How material configurations turn out in games: the state of the "mat" command. Games add raw
// sums per position; writing the training file folds them into sums per material class.

#include <cstdint>
#include <cstdio>
#include <map>
#include <set>
#include <vector>

#include "board/position.h"
#include "book/game_signature.h"

namespace zelmora {

class Engine;
class RandomGenerator;

// Sums of the quiet positions of one game position key, across games. The layout is that of
// the binary dump.
struct MaterialPositionRecord {
    std::uint64_t materialKey;  // the class the position was last seen in
    double advantageSum;
    std::int32_t pointsSum;
    std::int32_t weightSum;
    double remainingSum;  // plies left to the end of the game
};
static_assert(sizeof(MaterialPositionRecord) == 32, "the dump writes 32 bytes per record");

struct MaterialClassRecord {
    double advantageSum, pointsSum, weightSum, remainingSum;
};

// One side's piece counts, four bits each: pawns, knights, bishops, rooks, queens from bit 0.
std::uint32_t materialCode(const SideRecord& side);
// 0 when a side has no bishop, 1 opposite colours, 2 same colour, 3 a side with both colours.
int bishopClass(const Position& pos);
// Larger side's code << 24 | smaller side's code << 4 | bishop class; 0 when the codes are equal.
std::uint64_t materialClassKey(const Position& pos);
// Which colour the key's larger code belongs to (meaningless for key 0).
inline bool blackLeads(const Position& pos) { return materialCode(pos.side(BLACK)) > materialCode(pos.side(WHITE)); }

// Passes when no capture, promotion or check changes the static evaluation of the position
// (side to move not in check): a null-window quiescence search around it returns it unchanged.
bool quietTest(Engine& engine);

class MaterialStatistics {
public:
    static constexpr int DEFAULT_GAME_VALUE = 1000;
    static constexpr int MINIMUM_PLIES = 33;  // shorter games tell little about material

    // The signature numbers are the same in every run, so that dumps of several runs agree.
    MaterialStatistics();

    // The games of a PGN file whose two ratings reach minimumElo; false when it cannot be opened.
    bool addGames(const char* fileName, int gameValue, int minimumElo, std::FILE* messages = stderr);
    // One game: resultSign +1 White won, -1 Black won, 0 drawn; fen may be empty (classical
    // start). False when the game is too short or its set-up is invalid; true for a duplicate.
    bool addGame(const std::vector<Move>& moves, const char* fen, int whiteElo, int blackElo, int gameValue,
                 int resultSign);

    // Random games from Chess960 start positions, straight into the class map.
    void addRandomGames(std::int64_t count, RandomGenerator& random);

    // Position sums into the class map, each position weighing at most about 2500.
    void foldPositions();
    // Folds, then one line per class; false when the file cannot be opened (reported on errors).
    bool writeTrainingFile(const char* fileName, std::FILE* errors = stderr);
    // The game set and the position map, little-endian; the class map is not kept.
    bool writeDump(const char* fileName, std::FILE* errors = stderr) const;
    // Replaces the game set and overwrites the positions named in the dump. A damaged dump
    // changes nothing (reported on errors).
    bool readDump(const char* fileName, std::FILE* errors = stderr);

    GameSignatureTable signatures;
    std::set<std::uint64_t> games;
    std::map<std::uint64_t, MaterialPositionRecord> positions;
    std::map<std::uint64_t, MaterialClassRecord> classes;

    // Games read and added by addGames, and quiet positions recorded, for the summary lines.
    std::uint64_t gamesRead = 0, gamesAdded = 0, positionsRecorded = 0;
};

}  // namespace zelmora
