#include "match/move_text.h"

#include "board/movegen.h"

namespace zelmora::match {

namespace {

std::string squareText(Square s) { return {char('a' + fileOf(s)), char('8' - rowOf(s))}; }

bool isCastling(const Position& pos, Move m) {
    return movePiece(m) == KING && (pos.us().pieces[ROOK] & bit(moveTo(m)));
}

bool isKingSideCastling(const Position& pos, Move m) { return moveTo(m) == pos.us().rookSquareKingSide; }

}  // namespace

std::vector<Move> legalMoves(const Position& pos) {
    MoveEntry list[MAX_MOVES];
    const int n = generateMoves(pos, list);
    std::vector<Move> moves;
    for (int i = 0; i < n; ++i) {
        Position copy = pos;
        UndoRecord undo;
        if (copy.makeFast(list[i].move, undo)) moves.push_back(list[i].move);
    }
    return moves;
}

std::string sanText(const Position& pos, Move m) {
    static const char LETTERS[] = "  NBRQK";
    const Square from = moveFrom(m), to = moveTo(m);
    const int piece = movePiece(m);
    std::string text;
    if (isCastling(pos, m)) {
        text = isKingSideCastling(pos, m) ? "O-O" : "O-O-O";
    } else {
        const bool capture = (pos.them().pieces[ALL_PIECES] & bit(to)) ||
                             (piece == PAWN && fileOf(from) != fileOf(to));
        if (piece == PAWN) {
            if (capture) text += char('a' + fileOf(from));
        } else {
            text += LETTERS[piece];
            // Other pieces of the kind that can go to the same square legally.
            bool rival = false, sameFile = false, sameRank = false;
            for (Move other : legalMoves(pos)) {
                if (other == m || movePiece(other) != piece || moveTo(other) != to || isCastling(pos, other)) continue;
                rival = true;
                sameFile = sameFile || fileOf(moveFrom(other)) == fileOf(from);
                sameRank = sameRank || rowOf(moveFrom(other)) == rowOf(from);
            }
            if (rival && (!sameFile || sameRank)) text += char('a' + fileOf(from));
            if (rival && sameFile) text += char('8' - rowOf(from));
        }
        if (capture) text += 'x';
        text += squareText(to);
        if (movePromotion(m)) {
            text += '=';
            text += LETTERS[movePromotion(m)];
        }
    }
    Position after = pos;
    UndoRecord undo;
    if (after.makeLegal(m, undo) && after.inCheck()) text += noLegalMove(after) ? '#' : '+';
    return text;
}

std::string uciText(const Position& pos, Move m, bool chess960) {
    Square to = moveTo(m);
    if (isCastling(pos, m) && !chess960) to = makeSquare(isKingSideCastling(pos, m) ? 6 : 2, rowOf(to));
    std::string text = squareText(moveFrom(m)) + squareText(to);
    if (movePromotion(m)) text += " pnbrqk"[movePromotion(m)];
    return text;
}

}  // namespace zelmora::match
