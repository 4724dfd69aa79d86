#include "eval/recognizer.h"

namespace zelmora {

namespace {

int minors(const SideRecord& s) { return s.count[KNIGHT] + s.count[BISHOP]; }

// The type of a side's one man besides the king; only asked when the side has exactly two.
int onlyMan(const SideRecord& s) {
    for (int t = PAWN; t <= QUEEN; ++t)
        if (s.count[t]) return t;
    return 0;
}

bool isMinor(int type) { return type == KNIGHT || type == BISHOP; }

}  // namespace

const EndgameRecognizer* RecognizerRegistry::select(const Position& pos) const {
    const EndgameRecognizer* fixed = selectFixed(pos);
    return fixed ? fixed : selectByPieces(pos);
}

// Counts include the king; minors are knights and bishops. Rules in order, first match wins.
const EndgameRecognizer* RecognizerRegistry::selectFixed(const Position& pos) const {
    const SideRecord& w = pos.side(WHITE);
    const SideRecord& b = pos.side(BLACK);
    const int W = w.count[ALL_PIECES], B = b.count[ALL_PIECES], T = W + B;
    const int pawns = w.count[PAWN] + b.count[PAWN];

    if (T == 6) {
        if (w.count[ROOK] == 1 && b.count[ROOK] == 1) {
            if (minors(w) == 1 && b.count[PAWN] == 1) return of(ROOK_MINOR_VS_ROOK_PAWN, WHITE);
            if (minors(b) == 1 && w.count[PAWN] == 1) return of(ROOK_MINOR_VS_ROOK_PAWN, BLACK);
        }
        // Two rooks and two kings leave room for two more men, so the three pawns stand beside
        // a lone bishop.
        if (pawns == 3) {
            if (w.count[BISHOP] == 1 && w.count[PAWN] >= 1) return of(MINOR_PAWN_VS_KING, WHITE);
            if (b.count[BISHOP] == 1 && b.count[PAWN] >= 1) return of(MINOR_PAWN_VS_KING, BLACK);
        }
        return nullptr;
    }

    if (T == 5) {
        if (w.count[ROOK] == 1 && b.count[ROOK] == 1) {
            const SideRecord& extra = W == 3 ? w : b;
            const Colour owner = W == 3 ? WHITE : BLACK;
            if (extra.count[PAWN] == 1) return of(ROOK_PAWN_VS_ROOK, owner);
            if (minors(extra) == 1) return of(ROOK_MINOR_VS_ROOK, owner);
            return nullptr;
        }
        // Each side with exactly one minor: the side holding it is "m", the other "o". The
        // bishop-and-pawns case reads "m's minor is a bishop and m has the pawns": a lone bishop on
        // the other side would leave no room for two pawns in five men.
        for (int c = BLACK; c >= WHITE; --c) {
            const SideRecord& m = pos.side(c);
            const SideRecord& o = pos.side(c ^ 1);
            if (minors(m) != 1) continue;
            const Colour other = Colour(c ^ 1);
            if (o.count[ROOK] == 1 && m.count[PAWN] == 1) return of(ROOK_MINOR_VS_ROOK_PAWN, other);
            if (o.count[QUEEN] == 1 && m.count[QUEEN] == 1) return of(QUEEN_MINOR_VS_QUEEN);
            if (minors(o) == 2) return of(TWO_MINORS_VS_PIECE, other);
            if (m.count[BISHOP] == 1 && m.count[PAWN] > 0 && pawns == 2) return of(MINOR_PAWN_VS_KING, Colour(c));
            return nullptr;
        }
        for (int c = WHITE; c <= BLACK; ++c) {
            const SideRecord& m = pos.side(c);
            const SideRecord& o = pos.side(c ^ 1);
            if (minors(m) != 2) continue;
            if (o.count[ROOK] == 1) return of(TWO_MINORS_VS_PIECE, Colour(c));
            if (o.count[PAWN] == 1 && m.count[KNIGHT] == 2) return of(TWO_KNIGHTS_VS_PAWN, Colour(c));
            return nullptr;
        }
        return nullptr;
    }

    if (T == 4) {
        if (W == B) {
            const int x = onlyMan(w), y = onlyMan(b);
            if (isMinor(x) && isMinor(y)) return of(DEAD_DRAW);
            if (x == y && (x == ROOK || x == QUEEN)) return of(EQUAL_PIECES);
            for (int c = WHITE; c <= BLACK; ++c) {
                const int mine = c == WHITE ? x : y, theirs = c == WHITE ? y : x;
                if (mine == QUEEN && theirs == ROOK) return of(QUEEN_VS_ROOK, Colour(c));
                if (mine == ROOK && isMinor(theirs)) return of(ROOK_VS_MINOR, Colour(c));
                if (mine == PAWN && isMinor(theirs)) return of(PAWN_VS_MINOR, Colour(c));
            }
            return nullptr;
        }
        const Colour c = W == 3 ? WHITE : BLACK;  // the side with two men besides its king
        const SideRecord& s = pos.side(c);
        if (s.count[KNIGHT] == 2) return of(TWO_KNIGHTS);
        if (s.count[KNIGHT] == 1 && s.count[BISHOP] == 1) return of(BISHOP_KNIGHT_MATE, c);
        if (minors(s) == 1 && s.count[PAWN] == 1) return of(MINOR_PAWN_VS_KING, c);
        return nullptr;
    }

    if (T == 3) {
        if (minors(w) || minors(b)) return of(DEAD_DRAW);
        const Colour c = W == 2 ? WHITE : BLACK;
        return of(pos.side(c).count[PAWN] ? KING_PAWN_VS_KING : MAJOR_VS_KING, c);
    }

    if (T == 2) return of(DEAD_DRAW);
    return nullptr;
}

const EndgameRecognizer* RecognizerRegistry::selectByPieces(const Position& pos) const {
    const SideRecord& w = pos.side(WHITE);
    const SideRecord& b = pos.side(BLACK);
    const int piecesW = w.count[ALL_PIECES] - w.count[PAWN], piecesB = b.count[ALL_PIECES] - b.count[PAWN];
    if (piecesW + piecesB == 2) return of(PAWN_ENDING);
    if (piecesW == 2 && piecesB == 2) {
        int x = 0, y = 0;
        for (int t = KNIGHT; t <= QUEEN; ++t) {
            if (w.count[t]) x = t;
            if (b.count[t]) y = t;
        }
        if (x == BISHOP && y == BISHOP) return of(BISHOP_VS_BISHOP);
        if (x == KNIGHT && y == KNIGHT) return of(KNIGHT_VS_KNIGHT);
        if ((x == BISHOP && y == KNIGHT) || (x == KNIGHT && y == BISHOP)) return of(BISHOP_VS_KNIGHT);
        if (x == QUEEN && y == QUEEN) return of(QUEEN_VS_QUEEN);
    }
    if ((w.count[PAWN] == 0) != (b.count[PAWN] == 0)) return of(ONE_SIDE_PAWNS);
    return &default_;
}

}  // namespace zelmora
