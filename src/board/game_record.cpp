#include "board/game_record.h"

#include <cstdio>
#include <cstring>

namespace zelmora {

RepetitionKey RepetitionKey::of(const Position& pos) {
    const SideRecord& w = pos.side(WHITE);
    const SideRecord& b = pos.side(BLACK);
    RepetitionKey k;
    k.pawns = w.pieces[PAWN] | b.pieces[PAWN];
    k.white = w.pieces[ALL_PIECES];
    k.rooksKings = w.pieces[ROOK] | b.pieces[ROOK] | w.pieces[KING] | b.pieces[KING];
    k.bishopsQueensKings = w.pieces[BISHOP] | b.pieces[BISHOP] | w.pieces[QUEEN] | b.pieces[QUEEN] |
                           w.pieces[KING] | b.pieces[KING];
    k.knightsQueens = w.pieces[KNIGHT] | b.pieces[KNIGHT] | w.pieces[QUEEN] | b.pieces[QUEEN];
    k.state = std::uint32_t(pos.castlingRights()) | std::uint32_t(pos.epSquare() > 0 ? pos.epSquare() : 0) |
              (pos.whiteToMove() ? 128u : 0u);
    return k;
}

int RepetitionKey::pieceCount() const {
    return popCount(pawns | rooksKings | bishopsQueensKings | knightsQueens);
}

bool RepetitionKey::reversiblyReachable(const RepetitionKey& other) const {
    return pawns == other.pawns && (pawns & white) == (other.pawns & other.white) &&
           pieceCount() == other.pieceCount();
}

namespace {

// Every piece besides the kings is a pawn, all pawns are rammed, none can capture, and neither
// king can walk to an enemy pawn.
bool deadPawnWall(const Position& pos) {
    const Bitboard whitePawns = pos.side(WHITE).pieces[PAWN], blackPawns = pos.side(BLACK).pieces[PAWN];
    if (north(whitePawns) & ~blackPawns) return false;
    if (south(blackPawns) & ~whitePawns) return false;
    const Bitboard whitePawnAttacks = pawnAttacks(whitePawns, WHITE);
    const Bitboard blackPawnAttacks = pawnAttacks(blackPawns, BLACK);
    if (pos.side(WHITE).pieces[ALL_PIECES] & blackPawnAttacks) return false;
    if (pos.side(BLACK).pieces[ALL_PIECES] & whitePawnAttacks) return false;
    auto reach = [](Bitboard from, Bitboard walkable) {
        for (Bitboard previous = 0; from != previous;) {
            previous = from;
            from |= (north(from) | south(from) | west(from) | east(from) | northWest(from) | northEast(from) |
                     southWest(from) | southEast(from)) & walkable;
        }
        return from;
    };
    if (reach(pos.side(WHITE).pieces[KING], ~whitePawns & ~blackPawnAttacks) & blackPawns) return false;
    if (reach(pos.side(BLACK).pieces[KING], ~blackPawns & ~whitePawnAttacks) & whitePawns) return false;
    return true;
}

}  // namespace

int materialDraw(const Position& pos) {
    const SideRecord& w = pos.side(WHITE);
    const SideRecord& b = pos.side(BLACK);
    const int pieces = pos.pieceCount();
    if (pieces == 2) return INSUFFICIENT_MATERIAL;
    const int minors = w.count[KNIGHT] + w.count[BISHOP] + b.count[KNIGHT] + b.count[BISHOP];
    if (pieces == 3 && minors == 1) return INSUFFICIENT_MATERIAL;
    const Bitboard bishops = w.pieces[BISHOP] | b.pieces[BISHOP];
    if (pieces == 2 + w.count[BISHOP] + b.count[BISHOP] &&
        (!(bishops & LIGHT_SQUARES) || !(bishops & DARK_SQUARES)))
        return INSUFFICIENT_MATERIAL;
    if (pieces == 2 + w.count[PAWN] + b.count[PAWN] && deadPawnWall(pos)) return DEAD_POSITION;
    return NO_DRAW;
}

void GameRecord::newGame() {
    position.reset();
    std::memset(static_cast<void*>(keys), 0, sizeof keys);
    keyCount = 1;
    keys[0] = RepetitionKey::of(position);
}

bool GameRecord::setPosition(const Position* copy) {
    if (!copy) {
        newGame();
        return true;
    }
    position = *copy;
    if (!position.validateAndComplete()) return false;
    keyCount = 1;
    keys[0] = RepetitionKey::of(position);
    return true;
}

bool GameRecord::setChess960(unsigned number) {
    if (!position.setChess960(number)) return false;
    keyCount = 1;
    keys[0] = RepetitionKey::of(position);
    return true;
}

bool GameRecord::setFen(const char* text) {
    // Read into a scratch record so that a rejected text leaves the game untouched.
    Position scratch = position;
    const char* rest = scratch.setFen(text);
    if (!rest) return false;
    position = scratch;
    int halfmoves = 0, moveNumber = 0;
    std::sscanf(rest, "%d %d", &halfmoves, &moveNumber);
    const RepetitionKey current = RepetitionKey::of(position);
    if (halfmoves > 99 || halfmoves < 0) {
        keyCount = 1;
        keys[0] = current;
    } else {
        keyCount = halfmoves + 1;
        std::memset(static_cast<void*>(keys), 0, sizeof(RepetitionKey) * std::size_t(halfmoves));
        keys[halfmoves] = current;
    }
    return true;
}

char* GameRecord::getFen(char* buffer) const {
    position.writeFen(buffer);
    std::sprintf(buffer + std::strlen(buffer), " %d %d", keyCount - 1, keyCount / 2 + 1);
    return buffer;
}

void GameRecord::playMove(Move m) {
    UndoRecord undo;
    position.makeLegal(m, undo);
    const RepetitionKey current = RepetitionKey::of(position);
    if (keyCount > 0 && !current.reversiblyReachable(keys[keyCount - 1])) {
        keyCount = 1;
        keys[0] = current;
    } else if (keyCount < MAX_KEYS) {
        keys[keyCount++] = current;
    }
}

int GameRecord::claimableDraw() const {
    if (keyCount > 100) return FIFTY_MOVES;
    int matches = 0;
    for (int i = 0; i < keyCount - 1; ++i) matches += keys[i] == keys[keyCount - 1];
    if (matches >= 2) return REPETITION;
    return materialDraw(position);
}

int GameRecord::searchDraw(const Position& pos) const {
    const RepetitionKey current = RepetitionKey::of(pos);
    if (keyCount > 0 && current.reversiblyReachable(keys[0])) {
        int matches = 0;
        for (int i = 0; i < keyCount; ++i) matches += keys[i] == current;
        if (matches == 1) return SEEN_BEFORE;
        if (matches >= 2) return REPETITION;
    }
    return materialDraw(pos);
}

}  // namespace zelmora
