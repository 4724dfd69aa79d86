#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <utility>

#include "board/position.h"

namespace zelmora {

namespace {

// Squares from a to b inclusive on one rank.
Bitboard rankSpan(Square a, Square b) {
    if (a > b) std::swap(a, b);
    Bitboard upToB = b == 63 ? ~Bitboard(0) : (bit(b + 1) - 1);
    return upToB & ~(bit(a) - 1);
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
const char* skipBlanks(const char* p) {
    while (isBlank(*p)) ++p;
    return p;
}

int pieceTypeOfLetter(char c) {
    switch (c | 0x20) {
    case 'p': return PAWN;
    case 'n': return KNIGHT;
    case 'b': return BISHOP;
    case 'r': return ROOK;
    case 'q': return QUEEN;
    case 'k': return KING;
    default: return 0;
    }
}

const char* const CHESS960_PAIRS[10] = {"01", "02", "03", "04", "12", "13", "14", "23", "24", "34"};

}  // namespace

const char* Position::setFen(const char* text) {
    for (SideRecord& s : side_) {
        std::memset(s.pieces, 0, sizeof(s.pieces));
        s.attackedByEnemy = s.attackedTwiceByEnemy = s.attackedByEnemyPawns = 0;
        s.rookSquareKingSide = s.rookSquareQueenSide = -1;
        s.castleEmptyKingSide = s.castleEmptyQueenSide = s.castleSafeKingSide = s.castleSafeQueenSide = 0;
    }
    occupied_ = lastMoveSquares_ = 0;
    whiteToMove_ = 0;
    epSquare_ = -1;
    castlingRights_ = 0;
    chess960Castling = 0;

    // Board field.
    const char* p = skipBlanks(text);
    int file = 0, row = 0;
    for (; !isBlank(*p); ++p) {
        char c = *p;
        if (c >= '1' && c <= '8') {
            file += c - '0';
            if (file > 8) return nullptr;
        } else if (c == '/') {
            // An eighth '/' would open a ninth rank, which can never be valid: rejected at once.
            if (file != 8 || row == 7) return nullptr;
            file = 0;
            ++row;
        } else if (int t = pieceTypeOfLetter(c)) {
            if (file > 7) return nullptr;
            side_[c >= 'a' ? BLACK : WHITE].pieces[t] |= bit(makeSquare(file, row));
            ++file;
        } else {
            return nullptr;  // also the end of the text
        }
    }

    // Side to move.
    p = skipBlanks(p);
    if (*p == 'w' || *p == 'W')
        whiteToMove_ = 1;
    else if (*p != 'b' && *p != 'B')
        return nullptr;
    ++p;
    if (*p && !isBlank(*p)) return nullptr;

    // Castling.
    p = skipBlanks(p);
    if (!readCastlingField(p)) return nullptr;

    // En passant.
    p = skipBlanks(p);
    if (*p == '-') {
        ++p;
    } else {
        int epFile = (*p | 0x20) - 'a';
        if (epFile < 0 || epFile > 7 || p[1] != (whiteToMove_ ? '6' : '3')) return nullptr;
        Square ep = makeSquare(epFile, whiteToMove_ ? 2 : 5);
        lastMoveSquares_ = bit(ep - 8) | bit(ep + 8);
        // Keep the square only when a pawn really stands behind it on an empty square; anything
        // else would let a pawn capture a phantom and corrupt the record.
        Square victim = whiteToMove_ ? ep + 8 : ep - 8;
        Colour mover = whiteToMove_ ? BLACK : WHITE;
        bool anyPieceOnEp = ((side_[WHITE].pieces[0] | side_[BLACK].pieces[0]) & bit(ep)) != 0;
        bool victimThere = (side_[mover].pieces[PAWN] & bit(victim)) != 0;
        if (victimThere && !anyPieceOnEp) epSquare_ = ep;
        p += 2;
    }
    if (*p && !isBlank(*p)) return nullptr;
    if (!validateAndComplete()) return nullptr;
    return p;
}

bool Position::readCastlingField(const char*& p) {
    castlingByFile = 0;
    if (*p == '-') {
        ++p;
        return *p == 0 || isBlank(*p);
    }
    std::uint8_t kingSideFiles = 0xFF, queenSideFiles = 0xFF;
    char previous = 0;
    for (; *p && !isBlank(*p); previous = *p++) {
        char c = *p;
        int letterFile = (c | 0x20) - 'a';
        if (c == 'K' || c == 'Q' || c == 'k' || c == 'q') {
            castlingRights_ |= c == 'K' ? WHITE_KING_SIDE
                            : c == 'Q' ? WHITE_QUEEN_SIDE
                            : c == 'k' ? BLACK_KING_SIDE : BLACK_QUEEN_SIDE;
            castlingByFile = 0;
        } else if (letterFile >= 0 && letterFile < 8) {
            if (previous == 'K' || previous == 'k') {
                kingSideFiles = std::uint8_t(1 << letterFile);
                castlingByFile = 0;
            } else if (previous == 'Q' || previous == 'q') {
                queenSideFiles = std::uint8_t(1 << letterFile);
                castlingByFile = 0;
            } else {
                Colour c2 = c < 'a' ? WHITE : BLACK;
                Bitboard kings = side_[c2].pieces[KING];
                if (!kings) return false;  // no king: the position cannot be valid
                castlingByFile = 1;
                if (letterFile <= fileOf(lowestBit(kings))) {
                    castlingRights_ |= c2 == WHITE ? WHITE_QUEEN_SIDE : BLACK_QUEEN_SIDE;
                    queenSideFiles = std::uint8_t(1 << letterFile);
                } else {
                    castlingRights_ |= c2 == WHITE ? WHITE_KING_SIDE : BLACK_KING_SIDE;
                    kingSideFiles = std::uint8_t(1 << letterFile);
                }
            }
        } else {
            return false;
        }
    }
    if (!castlingRights_) return true;

    Bitboard whiteKings = side_[WHITE].pieces[KING], blackKings = side_[BLACK].pieces[KING];
    if (!exactlyOne(whiteKings) || !exactlyOne(blackKings)) return false;  // rejected later anyway
    Square whiteKing = lowestBit(whiteKings), blackKing = lowestBit(blackKings);
    if ((castlingRights_ & 3) && (castlingRights_ & 12)) {
        if (fileOf(whiteKing) != fileOf(blackKing) || rowOf(whiteKing) != 7 || rowOf(blackKing) != 0)
            return false;
        // When both colours castle on a wing, its rooks stand on a file holding two rooks or more.
        Bitboard rooks = side_[WHITE].pieces[ROOK] | side_[BLACK].pieces[ROOK];
        std::uint8_t twoRookFiles = 0;
        for (int f = 0; f < 8; ++f)
            if (popCount(rooks & fileMask(f)) >= 2) twoRookFiles |= std::uint8_t(1 << f);
        int kingFile = fileOf(whiteKing);
        std::uint8_t eastOfKing = std::uint8_t(0xFF << (kingFile + 1));
        std::uint8_t westOfKing = std::uint8_t((1 << kingFile) - 1);
        if ((castlingRights_ & WHITE_KING_SIDE) && (castlingRights_ & BLACK_KING_SIDE))
            kingSideFiles &= twoRookFiles & eastOfKing;
        if ((castlingRights_ & WHITE_QUEEN_SIDE) && (castlingRights_ & BLACK_QUEEN_SIDE))
            queenSideFiles &= twoRookFiles & westOfKing;
    }

    if (!(whiteKings & RANK_1)) castlingRights_ &= ~side_[WHITE].castleMask;
    if (!(blackKings & RANK_8)) castlingRights_ &= ~side_[BLACK].castleMask;
    bool classical = true;
    for (Colour c : {WHITE, BLACK}) {
        SideRecord& s = side_[c];
        int kingSideRight = c == WHITE ? WHITE_KING_SIDE : BLACK_KING_SIDE;
        int queenSideRight = c == WHITE ? WHITE_QUEEN_SIDE : BLACK_QUEEN_SIDE;
        Square classicalKing = c == WHITE ? 60 : 4;
        if (castlingRights_ & kingSideRight) {
            placeCastlingRook(c, true, Bitboard(kingSideFiles) * FILE_A);
            classical &= lowestBit(s.pieces[KING]) == classicalKing;
            classical &= s.rookSquareKingSide == classicalKing + 3;
        }
        if (castlingRights_ & queenSideRight) {
            placeCastlingRook(c, false, Bitboard(queenSideFiles) * FILE_A);
            classical &= lowestBit(s.pieces[KING]) == classicalKing;
            classical &= s.rookSquareQueenSide == classicalKing - 4;
        }
    }
    chess960Castling = classical ? 0 : 1;
    return true;
}

// The castling rook of one wing is the outermost own rook on the back rank beyond the king
// among the candidate files.
void Position::placeCastlingRook(Colour c, bool kingSide, Bitboard candidateFiles) {
    SideRecord& s = side_[c];
    Square king = lowestBit(s.pieces[KING]);
    Bitboard rooks = s.pieces[ROOK] & s.backRank & candidateFiles;
    const Bitboard upToKing = (bit(king) << 1) - 1;  // also right for a king on h1
    Bitboard beyond = kingSide ? rooks & ~upToKing : rooks & (bit(king) - 1);
    if (!beyond) return;
    Square rook = kingSide ? 63 - std::countl_zero(beyond) : lowestBit(beyond);
    Square kingTarget = kingSide ? s.kingTargetKingSide : s.kingTargetQueenSide;
    Square rookTarget = kingSide ? s.rookTargetKingSide : s.rookTargetQueenSide;
    Bitboard path = rankSpan(king, kingTarget);
    Bitboard empty = (betweenSquares(king, rook) | bit(rookTarget) | bit(kingTarget) | path) & ~bit(king) & ~bit(rook);
    if (kingSide) {
        s.rookSquareKingSide = std::int8_t(rook);
        s.castleEmptyKingSide = empty;
        s.castleSafeKingSide = path;
    } else {
        s.rookSquareQueenSide = std::int8_t(rook);
        s.castleEmptyQueenSide = empty;
        s.castleSafeQueenSide = path;
    }
}

char* Position::writeFen(char* buffer) const {
    static const char LETTERS[] = " PNBRQK";
    char* out = buffer;
    for (int row = 0; row < 8; ++row) {
        int empty = 0;
        for (int file = 0; file < 8; ++file) {
            Square s = makeSquare(file, row);
            int white = pieceOn(WHITE, s), black = pieceOn(BLACK, s);
            if (!white && !black) {
                ++empty;
                continue;
            }
            if (empty) *out++ = char('0' + empty);
            empty = 0;
            *out++ = white ? LETTERS[white] : char(LETTERS[black] | 0x20);
        }
        if (empty) *out++ = char('0' + empty);
        *out++ = row < 7 ? '/' : ' ';
    }
    *out++ = whiteToMove_ ? 'w' : 'b';
    *out++ = ' ';
    if (!castlingRights_) *out++ = '-';
    for (int right = 0; right < 4; ++right) {
        if (!(castlingRights_ & (1 << right))) continue;
        const SideRecord& s = side_[right >> 1];
        bool kingSide = (right & 1) == 0;
        Square rook = kingSide ? s.rookSquareKingSide : s.rookSquareQueenSide;
        *out++ = "KQkq"[right];
        // Name the rook's file when another own rook stands nearer the corner on that rank.
        Bitboard rank = s.backRank & (s.pieces[ROOK] & ~bit(rook));
        Bitboard outward = kingSide ? rank & ~(bit(rook) - 1) : rank & (bit(rook) - 1);
        if (outward) *out++ = char('a' + fileOf(rook));
    }
    *out++ = ' ';
    if (epSquare_ >= 0) {
        *out++ = char('a' + fileOf(epSquare_));
        *out++ = whiteToMove_ ? '6' : '3';
    } else {
        *out++ = '-';
    }
    *out = 0;
    return buffer;
}

bool Position::setChess960(unsigned n) {
    n %= 960;
    char array[9] = "        ";
    auto placeOnEmpty = [&](unsigned index, char piece) {
        for (int f = 0; f < 8; ++f)
            if (array[f] == ' ' && index-- == 0) {
                array[f] = piece;
                return;
            }
    };
    array[2 * (n % 4) + 1] = 'b';
    n /= 4;
    array[2 * (n % 4)] = 'b';
    n /= 4;
    placeOnEmpty(n % 6, 'q');
    n /= 6;
    // The second knight's index counts the empty files left after the first one was placed.
    placeOnEmpty(unsigned(CHESS960_PAIRS[n][1] - '0'), 'n');
    placeOnEmpty(unsigned(CHESS960_PAIRS[n][0] - '0'), 'n');
    placeOnEmpty(0, 'r');
    placeOnEmpty(0, 'k');
    placeOnEmpty(0, 'r');
    char upper[9];
    for (int f = 0; f < 9; ++f) upper[f] = array[f] == 0 ? 0 : char(array[f] & ~0x20);
    char fen[100];
    std::snprintf(fen, sizeof fen, "%s/pppppppp/8/8/8/8/PPPPPPPP/%s w KQkq - 0 1", array, upper);
    return setFen(fen) != nullptr;
}

}  // namespace zelmora
