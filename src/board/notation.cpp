#include "board/notation.h"

#include <cstring>

#include "board/movegen.h"

namespace zelmora {

namespace {

const char COORDINATE_PROMOTION[] = "- nbrqk";
const char GERMAN_LETTERS[] = "- SLTDK";

bool isCastling(const Position& pos, Move m) {
    return movePiece(m) == KING && (pos.us().pieces[ROOK] & bit(moveTo(m)));
}

char* writeSquare(char* out, Square s) {
    *out++ = char('a' + fileOf(s));
    *out++ = char('8' - rowOf(s));
    return out;
}

// What the move does to the opponent, found by making it on a copy.
struct MoveEffect {
    bool legal = false, check = false, noReply = false;
};

MoveEffect effectOf(const Position& pos, Move m) {
    MoveEffect e;
    Position after = pos;
    UndoRecord undo;
    if (!after.makeLegal(m, undo)) return e;
    e.legal = true;
    e.check = after.inCheck();
    e.noReply = noLegalMove(after);
    return e;
}

char* writeCoordinate(const Position& pos, Move m, char* buffer) {
    const Square from = moveFrom(m);
    Square to = moveTo(m);
    if (isCastling(pos, m) && !pos.castlingByFile) {
        const bool kingSide = to == pos.us().rookSquareKingSide;
        if (pos.chess960Castling) {
            std::strcpy(buffer, kingSide ? "O-O" : "O-O-O");
            return buffer;
        }
        to = makeSquare(kingSide ? 6 : 2, rowOf(to));
    }
    char* out = writeSquare(writeSquare(buffer, from), to);
    if (movePromotion(m)) *out++ = COORDINATE_PROMOTION[movePromotion(m)];
    *out = 0;
    return buffer;
}

char* writeGerman(const Position& pos, Move m, char* buffer) {
    const SideRecord& us = pos.us();
    const Square from = moveFrom(m), to = moveTo(m);
    const int piece = movePiece(m);
    char* out = buffer;
    if (isCastling(pos, m) && !pos.castlingByFile) {
        std::strcpy(out, to == us.rookSquareKingSide ? "0-0" : "0-0-0");
        out += std::strlen(out);
    } else {
        const bool enPassant = piece == PAWN && to == pos.epSquare() && fileOf(from) != fileOf(to);
        const bool capture = (pos.them().pieces[ALL_PIECES] & bit(to)) || enPassant;
        if (piece != PAWN) *out++ = GERMAN_LETTERS[piece];
        Bitboard candidates = 0;
        switch (piece) {
        case PAWN: candidates = capture ? pawnAttacksFrom(pos.sideToMove() == WHITE ? BLACK : WHITE, to) : 0; break;
        case KNIGHT: candidates = knightAttacks(to); break;
        case BISHOP: candidates = bishopAttacks(to, pos.occupied()); break;
        case ROOK: candidates = rookAttacks(to, pos.occupied()); break;
        case QUEEN: candidates = queenAttacks(to, pos.occupied()); break;
        default: break;
        }
        candidates &= us.pieces[piece];
        if (piece == PAWN ? capture : moreThanOne(candidates)) {
            if (popCount(candidates & fileMask(fileOf(from))) == 1)
                *out++ = char('a' + fileOf(from));
            else if (popCount(candidates & rowMask(rowOf(from))) == 1)
                *out++ = char('8' - rowOf(from));
            else
                *out++ = ' ';
        }
        if (capture) *out++ = 'x';
        out = writeSquare(out, to);
        if (movePromotion(m)) *out++ = GERMAN_LETTERS[movePromotion(m)];
        if (enPassant) {
            std::strcpy(out, " e.p.");
            out += 5;
        }
    }
    const MoveEffect effect = effectOf(pos, m);
    if (effect.check) *out++ = effect.noReply ? '#' : '+';
    *out = 0;
    return buffer;
}

}  // namespace

char* moveToText(const Position& pos, Move m, MoveStyle style, char* buffer) {
    return style == MoveStyle::GERMAN ? writeGerman(pos, m, buffer) : writeCoordinate(pos, m, buffer);
}

namespace {

struct Decorations {
    bool check = false, mate = false, enPassant = false;
};

bool endsWith(const char* text, int length, const char* suffix) {
    const int n = int(std::strlen(suffix));
    return length >= n && std::memcmp(text + length - n, suffix, std::size_t(n)) == 0;
}

// Strips the decorations from the end, each kind at most once; returns the core length or -1.
int stripDecorations(const char* text, int length, Decorations& d) {
    bool blanks = false, checkMark = false, epMark = false, annotation = false;
    for (;;) {
        if (length > 0 && (text[length - 1] == ' ' || text[length - 1] == '\t')) {
            if (blanks) return -1;
            blanks = true;
            while (length > 0 && (text[length - 1] == ' ' || text[length - 1] == '\t')) --length;
            continue;
        }
        int cut = 0;
        bool* kind = nullptr;
        if (endsWith(text, length, "++") || endsWith(text, length, "#")) {
            cut = text[length - 1] == '#' ? 1 : 2;
            kind = &checkMark;
            d.mate = true;
        } else if (endsWith(text, length, "+")) {
            cut = 1;
            kind = &checkMark;
            d.check = true;
        } else if (endsWith(text, length, "e. p.") || endsWith(text, length, "e.p.") || endsWith(text, length, "ep")) {
            cut = endsWith(text, length, "e. p.") ? 5 : endsWith(text, length, "e.p.") ? 4 : 2;
            kind = &epMark;
            d.enPassant = true;
        } else if (endsWith(text, length, "!!") || endsWith(text, length, "!?") || endsWith(text, length, "?!") ||
                   endsWith(text, length, "??")) {
            cut = 2;
            kind = &annotation;
        } else if (endsWith(text, length, "!") || endsWith(text, length, "?")) {
            cut = 1;
            kind = &annotation;
        }
        if (!kind) return length;
        if (*kind) return -1;
        *kind = true;
        length -= cut;
    }
}

int fileOfChar(char c) { return c >= 'a' && c <= 'h' ? c - 'a' : -1; }
int rowOfChar(char c) { return c >= '1' && c <= '8' ? '8' - c : -1; }

int pieceOfLetter(char c) {
    switch (c) {
    case 'N': case 'S': return KNIGHT;
    case 'B': case 'L': return BISHOP;
    case 'R': case 'T': return ROOK;
    case 'Q': case 'D': return QUEEN;
    case 'K': return KING;
    default: return 0;
    }
}

int promotionOfLetter(char c) {
    const char upper = c >= 'a' && c <= 'z' ? char(c - 32) : c;
    const int piece = pieceOfLetter(upper);
    return piece == KING ? 0 : piece;
}

Move castlingMove(const Position& pos, bool kingSide) {
    const SideRecord& us = pos.us();
    const int right = us.castleMask & (kingSide ? WHITE_KING_SIDE | BLACK_KING_SIDE : WHITE_QUEEN_SIDE | BLACK_QUEEN_SIDE);
    if (!(pos.castlingRights() & right)) return NO_MOVE;
    const Square rook = kingSide ? us.rookSquareKingSide : us.rookSquareQueenSide;
    return rook < 0 ? NO_MOVE : makeMove(us.king(), rook, KING);
}

// A king step from e1/e8 onto g or c of its back rank means castling.
Move castlingIntent(const Position& pos, Square from, Square to) {
    const SideRecord& us = pos.us();
    const int backRow = pos.whiteToMove() ? 7 : 0;
    if (!(us.pieces[KING] & bit(from)) || from != makeSquare(4, backRow) || rowOf(to) != backRow) return NO_MOVE;
    if (fileOf(to) == 6) return castlingMove(pos, true);
    if (fileOf(to) == 2) return castlingMove(pos, false);
    return NO_MOVE;
}

// The generated legal move with exactly this from, to, piece and promotion.
Move legalMatch(const Position& pos, Move wanted) {
    MoveEntry list[MAX_MOVES];
    const int n = generateMoves(pos, list);
    for (int i = 0; i < n; ++i) {
        if (list[i].move != wanted) continue;
        Position copy = pos;
        UndoRecord undo;
        return copy.makeFast(wanted, undo) ? wanted : NO_MOVE;
    }
    return NO_MOVE;
}

Move parseCoordinate(const Position& pos, const char* core, int length) {
    if (length < 4 || length > 5) return NO_MOVE;
    const int f1 = fileOfChar(core[0]), r1 = rowOfChar(core[1]), f2 = fileOfChar(core[2]), r2 = rowOfChar(core[3]);
    if (f1 < 0 || r1 < 0 || f2 < 0 || r2 < 0) return NO_MOVE;
    const Square from = makeSquare(f1, r1), to = makeSquare(f2, r2);
    if (length == 5 && (core[4] == 'K' || core[4] == 'k')) return castlingMove(pos, core[2] == 'g');
    const int piece = pos.pieceOn(pos.sideToMove(), from);
    if (!piece) return NO_MOVE;
    int promotion = 0;
    if (length == 5) {
        const char c = core[4];
        if (c != 'B' && c != 'N' && c != 'Q' && c != 'R' && c != 'b' && c != 'n' && c != 'q' && c != 'r') return NO_MOVE;
        promotion = promotionOfLetter(c);
    }
    if (piece == KING && !promotion)
        if (Move castle = castlingIntent(pos, from, to)) return castle;
    return makeMove(from, to, piece, promotion);
}

Move parseAlgebraic(const Position& pos, const char* core, int length) {
    const SideRecord& us = pos.us();
    int piece = pieceOfLetter(core[0]);
    int start = 1;
    if (!piece) {
        if (fileOfChar(core[0]) < 0) return NO_MOVE;
        piece = PAWN;
        start = 0;
    }
    int promotion = 0;
    if (length >= 3 && promotionOfLetter(core[length - 1]) && rowOfChar(core[length - 1]) < 0) {
        promotion = promotionOfLetter(core[length - 1]);
        --length;
        if (length >= 3 && (core[length - 1] == '=' || core[length - 1] == '/')) --length;
    }
    if (length - start < 2) return NO_MOVE;
    const int f = fileOfChar(core[length - 2]), r = rowOfChar(core[length - 1]);
    if (f < 0 || r < 0) return NO_MOVE;
    const Square to = makeSquare(f, r);
    int end = length - 2;  // the disambiguation ends here
    const bool enPassant = piece == PAWN && to == pos.epSquare();
    const bool capture = (pos.them().pieces[ALL_PIECES] & bit(to)) || enPassant;
    if (capture) {
        if (end <= start || core[end - 1] != 'x') return NO_MOVE;
        --end;
    } else if (end > start && core[end - 1] == '-') {
        --end;
    }

    Bitboard candidates = 0;
    const int back = pos.whiteToMove() ? 8 : -8;
    switch (piece) {
    case PAWN:
        if (capture) {
            candidates = pawnAttacksFrom(pos.whiteToMove() ? BLACK : WHITE, to);
        } else if (to + back >= 0 && to + back < 64) {
            const Square behind = to + back;
            const int fourthRow = pos.whiteToMove() ? 4 : 3;
            if (rowOf(to) == fourthRow && !(us.pieces[PAWN] & bit(behind)))
                candidates = bit(behind + back);
            else
                candidates = bit(behind);
        }
        break;
    case KNIGHT: candidates = knightAttacks(to); break;
    case BISHOP: candidates = bishopAttacks(to, pos.occupied()); break;
    case ROOK: candidates = rookAttacks(to, pos.occupied()); break;
    case QUEEN: candidates = queenAttacks(to, pos.occupied()); break;
    case KING: candidates = kingAttacks(to); break;
    }
    candidates &= us.pieces[piece];
    for (int i = start; i < end; ++i) {
        const int file = fileOfChar(core[i]), row = rowOfChar(core[i]);
        if (file >= 0) candidates &= fileMask(file);
        else if (row >= 0) candidates &= rowMask(row);
        else return NO_MOVE;
    }
    if (piece == KING && !candidates) return castlingIntent(pos, us.king(), to);
    if (!candidates) return NO_MOVE;
    if (!moreThanOne(candidates)) return makeMove(lowestBit(candidates), to, piece, promotion);
    Move found = NO_MOVE;
    for (Bitboard b = candidates; b;) {
        const Move m = makeMove(popLowestBit(b), to, piece, promotion);
        if (legalMatch(pos, m)) {
            if (found) return NO_MOVE;
            found = m;
        }
    }
    return found;
}

}  // namespace

bool textToMove(const Position& pos, const char* text, Move& move, bool coordinate) {
    while (*text == ' ' || *text == '\t') ++text;
    Decorations d;
    const int length = stripDecorations(text, int(std::strlen(text)), d);
    if (length < 2 || length > 6) return false;
    char core[8];
    std::memcpy(core, text, std::size_t(length));
    core[length] = 0;

    Move m = NO_MOVE;
    if (!std::strcmp(core, "0-0-0") || !std::strcmp(core, "O-O-O"))
        m = castlingMove(pos, false);
    else if (!std::strcmp(core, "0-0") || !std::strcmp(core, "O-O"))
        m = castlingMove(pos, true);
    else if (coordinate && (length == 4 || length == 5) && fileOfChar(core[0]) >= 0 && rowOfChar(core[1]) >= 0 &&
             fileOfChar(core[2]) >= 0 && rowOfChar(core[3]) >= 0)
        m = parseCoordinate(pos, core, length);
    else
        m = parseAlgebraic(pos, core, length);
    if (!m) return false;
    m = legalMatch(pos, m);
    if (!m) return false;

    if (d.check || d.mate) {
        const MoveEffect effect = effectOf(pos, m);
        if (d.check && !effect.check) return false;
        if (d.mate && !effect.noReply) return false;
    }
    if (d.enPassant && !(movePiece(m) == PAWN && moveTo(m) == pos.epSquare())) return false;
    move = m;
    return true;
}

}  // namespace zelmora
