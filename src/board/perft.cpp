#include "board/perft.h"

#include "board/movegen.h"

namespace zelmora {

PerftTable::PerftTable(int megabytes) : memory_(nullptr, LargeMemoryDeleter{0}) {
    if (megabytes <= 0) return;
    const std::uint64_t capacity = (std::uint64_t(megabytes) << 20) / sizeof(Entry);
    std::size_t n = 1;
    while (n * 2 <= capacity) n *= 2;
    memory_ = allocateLargeMemory(n * sizeof(Entry));
    if (!memory_) return;  // no memory: count without a table
    entries_ = static_cast<Entry*>(memory_.get());
    size_ = n;
}

bool PerftTable::probe(std::uint64_t key, int depth, std::uint64_t& nodes) const {
    const Entry& e = entries_[key & (size_ - 1)];
    if (e.key != key || e.depth != depth) return false;
    nodes = e.nodes;
    return true;
}

void PerftTable::store(std::uint64_t key, int depth, std::uint64_t nodes) {
    Entry& e = entries_[key & (size_ - 1)];
    if (depth > e.depth || 2 * nodes >= e.nodes) e = Entry{key, nodes, depth};
}

namespace {

// Pieces of the side to move that alone shield their king from an enemy slider.
Bitboard pinnedPieces(const Position& pos) {
    const SideRecord& us = pos.us();
    const SideRecord& them = pos.them();
    const Square king = us.king();
    const Bitboard snipers = (linesThrough(king) & (them.pieces[ROOK] | them.pieces[QUEEN])) |
                             (diagonalsThrough(king) & (them.pieces[BISHOP] | them.pieces[QUEEN]));
    return loneBlockers(king, snipers, pos.occupied()) & us.pieces[ALL_PIECES];
}

// Makes the move and takes it back: 1 when it does not leave the mover's king attacked.
int legalByMaking(Position& pos, Move m) {
    UndoRecord undo;
    if (!pos.makeFast(m, undo)) return 0;
    pos.unmake(undo);
    return 1;
}

// In check: the generated evasions, tested as cheaply as possible. King moves are made (a second
// checker may stand behind the first), so is en passant; any other move is legal unless it takes
// a pinned piece off its line.
std::uint64_t countLegalEvasions(Position& pos, Bitboard pinned) {
    MoveEntry list[MAX_MOVES];
    const int n = generateMoves(pos, list);
    const Square king = pos.us().king();
    std::uint64_t nodes = 0;
    for (int i = 0; i < n; ++i) {
        const Move m = list[i].move;
        const Square from = moveFrom(m), to = moveTo(m);
        if (movePiece(m) == KING || (movePiece(m) == PAWN && to == pos.epSquare()))
            nodes += legalByMaking(pos, m);
        else if (!(pinned & bit(from)) || (tables.lineThrough[king][from] & bit(to)))
            ++nodes;
    }
    return nodes;
}

// Pawn moves of the given pawns whose destination lies in allowed (en passant left out); a step
// or capture onto the last rank counts four promotions.
int countPawnMoves(const Position& pos, Bitboard pawns, Bitboard allowed) {
    const bool white = pos.whiteToMove();
    const Bitboard empty = ~pos.occupied();
    const Bitboard enemies = pos.them().pieces[ALL_PIECES];
    const Bitboard lastRank = white ? RANK_8 : RANK_1;
    const Bitboard single = (white ? north(pawns) : south(pawns)) & empty;
    const Bitboard thirdRank = white ? rowMask(5) : rowMask(2);
    const Bitboard twice = (white ? north(single & thirdRank) : south(single & thirdRank)) & empty;
    const Bitboard left = (white ? northWest(pawns) : southWest(pawns)) & enemies & allowed;
    const Bitboard right = (white ? northEast(pawns) : southEast(pawns)) & enemies & allowed;
    auto withPromotions = [&](Bitboard b) { return popCount(b & ~lastRank) + 4 * popCount(b & lastRank); };
    return withPromotions(single & allowed) + popCount(twice & allowed) + withPromotions(left) + withPromotions(right);
}

// The number of moves that generateMoves would list and makeFast would accept, counted without
// listing them: out of check every move of an unpinned piece is legal, a pinned piece keeps the
// moves along its pin line, and the generator only steps the king onto unattacked squares.
// Castling and en passant are made and tested.
std::uint64_t countLegalMoves(Position& pos) {
    const Bitboard pinned = pinnedPieces(pos);
    if (pos.inCheck()) return countLegalEvasions(pos, pinned);
    const SideRecord& us = pos.us();
    const Square king = us.king();
    const Bitboard occ = pos.occupied();
    const Bitboard targets = ~us.pieces[ALL_PIECES];
    auto alongPin = [&](Square s) { return (pinned & bit(s)) ? tables.lineThrough[king][s] : ~Bitboard(0); };

    std::uint64_t nodes = popCount(kingAttacks(king) & targets & ~us.attackedByEnemy);
    for (Bitboard b = us.pieces[KNIGHT] & ~pinned; b;) nodes += popCount(knightAttacks(popLowestBit(b)) & targets);
    for (Bitboard b = us.pieces[BISHOP] | us.pieces[QUEEN]; b;) {
        const Square s = popLowestBit(b);
        nodes += popCount(bishopAttacks(s, occ) & targets & alongPin(s));
    }
    for (Bitboard b = us.pieces[ROOK] | us.pieces[QUEEN]; b;) {
        const Square s = popLowestBit(b);
        nodes += popCount(rookAttacks(s, occ) & targets & alongPin(s));
    }
    nodes += countPawnMoves(pos, us.pieces[PAWN] & ~pinned, ~Bitboard(0));
    for (Bitboard b = us.pieces[PAWN] & pinned; b;) {
        const Square s = popLowestBit(b);
        nodes += countPawnMoves(pos, bit(s), tables.lineThrough[king][s]);
    }
    if (pos.epSquare() >= 0) {
        const Square ep = pos.epSquare();
        for (Bitboard b = us.pieces[PAWN] & pawnAttacksFrom(pos.sideToMove() == WHITE ? BLACK : WHITE, ep); b;)
            nodes += legalByMaking(pos, makeMove(popLowestBit(b), ep, PAWN));
    }
    MoveEntry castling[2];
    const int castlingMoves = generateCastlingMoves(pos, castling);
    for (int i = 0; i < castlingMoves; ++i) nodes += legalByMaking(pos, castling[i].move);
    return nodes;
}

}  // namespace

std::uint64_t perft(Position& pos, int depth, PerftTable* table) {
    if (depth < 1) return 0;
    // The last ply is counted directly; probing the table there would cost more than it saves.
    if (depth == 1) return countLegalMoves(pos);
    const bool hashed = table && table->size();
    std::uint64_t nodes = 0;
    if (hashed && table->probe(pos.key(), depth, nodes)) return nodes;
    MoveEntry list[MAX_MOVES];
    const int n = generateMoves(pos, list);
    UndoRecord undo;
    for (int i = 0; i < n; ++i)
        if (pos.makeLegal(list[i].move, undo)) {
            nodes += perft(pos, depth - 1, table);
            pos.unmake(undo);
        }
    if (hashed) table->store(pos.key(), depth, nodes);
    return nodes;
}

}  // namespace zelmora
