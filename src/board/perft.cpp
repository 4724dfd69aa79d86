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
    const Bitboard snipers = (rookAttacks(king, 0) & (them.pieces[ROOK] | them.pieces[QUEEN])) |
                             (bishopAttacks(king, 0) & (them.pieces[BISHOP] | them.pieces[QUEEN]));
    return loneBlockers(king, snipers, pos.occupied()) & us.pieces[ALL_PIECES];
}

// The number of generated moves that makeFast would accept, found without making most of them:
// out of check, king moves are generated onto safe squares only, and any other move is legal
// unless it takes a pinned piece off its line. Castling, en passant and king moves out of check
// (a second checker may stand behind the first) are made and tested.
std::uint64_t countLegalMoves(Position& pos) {
    MoveEntry list[MAX_MOVES];
    const int n = generateMoves(pos, list);
    const Bitboard pinned = pinnedPieces(pos);
    const Square king = pos.us().king();
    const Bitboard ownRooks = pos.us().pieces[ROOK];
    const bool inCheck = pos.inCheck();
    std::uint64_t nodes = 0;
    UndoRecord undo;
    for (int i = 0; i < n; ++i) {
        const Move m = list[i].move;
        const Square from = moveFrom(m), to = moveTo(m);
        const bool special = movePiece(m) == KING ? inCheck || (ownRooks & bit(to))
                                                  : movePiece(m) == PAWN && to == pos.epSquare();
        if (special) {
            if (pos.makeFast(m, undo)) {
                ++nodes;
                pos.unmake(undo);
            }
        } else if (movePiece(m) == KING || !(pinned & bit(from)) || (tables.lineThrough[king][from] & bit(to))) {
            ++nodes;
        }
    }
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
