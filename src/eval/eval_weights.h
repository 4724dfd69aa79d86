#pragma once
// Every number of the evaluation, named by what it means, in the order the evaluation meets them.
// Scores are in thousandths of a pawn; a name ending in _MG or _EG is the middlegame or endgame
// half of a term. Terms added to a score carry their sign (penalties are negative); the king
// safety weights and the few others whose comment says so are subtracted. Square tables are
// indexed a8 = 0 ... h1 = 63 and written from White's side; Black reads the mirrored square.

#include "board/types.h"
#include "board/units.h"

namespace zelmora::weights {

// ---- Material ----

// The classical balance: the lead plus this share of lead / (both sums + offset), so that a lead
// counts for more as material comes off. The offset keeps the divisor positive with bare kings.
constexpr int MATERIAL_RATIO_WEIGHT = 128;
constexpr int MATERIAL_SUM_OFFSET = 100;
constexpr int BISHOP_PAIR = 49;
// The material network's winning expectation is clipped and read as an Elo difference, which
// becomes a score at ELO_PER_PAWN.
constexpr double NET_EXPECTATION_MIN = 0.02;
constexpr double NET_EXPECTATION_MAX = 0.98;
constexpr double ELO_LOGISTIC_SCALE = 400.0;
constexpr double ELO_PER_PAWN = 110.0;

// ---- Phase, tempo and the positions decided early ----

// Below this total of both material sums the recognizers and the special endings take part, and
// the phase is a pure endgame.
constexpr int ENDGAME_MATERIAL = 28000;
// Material above ENDGAME_MATERIAL that makes a pure middlegame; the phase then runs from 0 to
// FULL_PHASE.
constexpr int PHASE_RANGE = 16384;
constexpr int FULL_PHASE = 256;

constexpr int TEMPO_MG = 33;
constexpr int TEMPO_EG = 3;

// Against the side to move with king and pawns only when its king has no square to go to.
constexpr int BOXED_KING = 150;  // subtracted

// Without pawns the stronger side gains as the weak king nears an edge and the kings close in:
// PAWNLESS_KING_OFF_CENTRE per king step of the weak king from the centre, less
// PAWNLESS_KINGS_APART_SHARE of those per rook step between the kings; then
// PAWNLESS_KING_OFF_CENTRE_ROOK per rook step from the centre, less PAWNLESS_KINGS_APART per king
// step between the kings. With equal material the score is the difference of the two sides'
// gains, divided by PAWNLESS_BALANCED_DIVISOR.
constexpr int PAWNLESS_KING_OFF_CENTRE = 21;
constexpr int PAWNLESS_KINGS_APART_SHARE = 2;
constexpr int PAWNLESS_KING_OFF_CENTRE_ROOK = 62;
constexpr int PAWNLESS_KINGS_APART = 16;
constexpr int PAWNLESS_BALANCED_DIVISOR = 3;
constexpr int PAWNLESS_TEMPO = 3;

// ---- Mobility and space ----

// By the number of safe destination squares.
constexpr int KNIGHT_MOBILITY_MG[9] = {-60, -2, 24, 41, 55, 66, 75, 84, 91};
constexpr int KNIGHT_MOBILITY_EG[9] = {-67, 57, 106, 135, 156, 173, 187, 199, 209};
constexpr int BISHOP_MOBILITY_MG[14] = {-8, 35, 56, 71, 84, 94, 104, 113, 121, 129, 137, 144, 151, 158};
constexpr int BISHOP_MOBILITY_EG[14] = {27, 117, 149, 167, 178, 185, 190, 194, 196, 197, 198, 198, 198, 198};
constexpr int ROOK_MOBILITY_MG[15] = {1, 32, 44, 51, 56, 59, 62, 65, 67, 69, 71, 73, 74, 76, 77};
constexpr int ROOK_MOBILITY_EG[15] = {156, 251, 283, 298, 306, 311, 314, 315, 315, 314, 313, 311, 309, 307, 304};
constexpr int QUEEN_MOBILITY_MG[28] = {116, 147, 162, 172, 180, 187, 193, 199, 204, 209, 213, 217, 221, 225,
                                       229, 232, 235, 239, 242, 245, 248, 251, 254, 256, 259, 262, 264, 267};
constexpr int QUEEN_MOBILITY_EG[28] = {268, 410, 453, 472, 480, 482, 482, 479, 475, 470, 465, 458, 451, 444,
                                       437, 429, 421, 412, 404, 395, 386, 377, 368, 359, 350, 341, 331, 322};

// Per square of the space area that a side attacks.
constexpr int SPACE_MG = 4;
constexpr int SPACE_EG = 10;

// ---- Pawn structure ----

// Black reads square 63 - s (the tables are symmetric between the wings).
constexpr int PAWN_SQUARE_MG[64] = {
    0,   0,   0,   0,   0,   0,   0,   0,    //
    -84, 0,   140, 268, 268, 140, 0,   -84,  //
    -84, 0,   140, 268, 268, 140, 0,   -84,  //
    -65, -29, 81,  170, 170, 81,  -29, -65,  //
    -79, -39, 58,  118, 118, 58,  -39, -79,  //
    -76, -35, 16,  43,  43,  16,  -35, -76,  //
    -75, -53, -48, -30, -30, -48, -53, -75,  //
    0,   0,   0,   0,   0,   0,   0,   0,
};
constexpr int PAWN_SQUARE_EG[64] = {
    0,    0,    0,    0,    0,    0,    0,    0,     //
    -145, -53,  -59,  -39,  -39,  -59,  -53,  -145,  //
    -145, -53,  -59,  -39,  -39,  -59,  -53,  -145,  //
    -153, -107, -81,  -102, -102, -81,  -107, -153,  //
    -196, -129, -103, -110, -110, -103, -129, -196,  //
    -217, -136, -106, -92,  -92,  -106, -136, -217,  //
    -210, -147, -92,  -63,  -63,  -92,  -147, -210,  //
    0,    0,    0,    0,    0,    0,    0,    0,
};
// By the number of a side's pawns that own pawns defend; the last entry stands for more too.
constexpr int DEFENDED_PAWN_COUNT_MAX = 7;
constexpr int DEFENDED_PAWN_COUNT_MG[DEFENDED_PAWN_COUNT_MAX + 1] = {-12, -4, -3, 6, 15, 20, -13, 0};
// By the number of a side's pawns that no own pawn defends.
constexpr int UNDEFENDED_PAWN_COUNT_EG[9] = {0, 61, 50, 25, 0, -23, -35, -41, -41};

constexpr int ISOLATED_PAWN = -123;
constexpr int ISOLATED_EDGE_PAWN = -84;
constexpr int DOUBLED_PAWN_MG = -98;
constexpr int DOUBLED_PAWN_EG = -93;
constexpr int TRIPLED_PAWN = -300;
constexpr int DOUBLED_ISOLATED_MG = -33;
constexpr int DOUBLED_ISOLATED_EG = -22;
constexpr int SUPPORTED_CHAIN_MG = 36;
constexpr int SUPPORTED_CHAIN_EG = 30;
constexpr int BACKWARD_PAWN_MG = -32;
constexpr int BACKWARD_PAWN_EG = -21;
constexpr int CENTRE_PAWN_MG = 23;

// ---- Pieces and threats ----

// Black reads square s ^ 56.
constexpr int KNIGHT_OUTPOST[64] = {
    18,  38, 52, 60, 60, 52, 38, 18,   //
    24,  44, 58, 66, 66, 58, 44, 24,   //
    22,  42, 56, 64, 64, 56, 42, 22,   //
    13,  33, 47, 55, 55, 47, 33, 13,   //
    -4,  16, 30, 38, 38, 30, 16, -4,   //
    -29, -9, 5,  13, 13, 5,  -9, -29,  //
    0,   0,  0,  0,  0,  0,  0,  0,    //
    0,   0,  0,  0,  0,  0,  0,  0,
};

// By the rook-file index of the pawn entry.
constexpr int ROOK_FILE_MG[9] = {0, 59, 91, 108, 118, 121, 120, 116, 109};
constexpr int ROOK_FILE_EG[9] = {0, 58, 44, 30, 16, 1, -13, -28, -43};

constexpr int PINNED_MG = -114;
constexpr int PINNED_EG = -123;
constexpr int HANGING = -68;
constexpr int ATTACKED_PAWNS_MG = -36;
constexpr int ATTACKED_PAWNS_EG = -77;
constexpr int BISHOP_TRAPPED_BY_PAWN = -980;
constexpr int BISHOP_SHUT_IN = -652;
constexpr int BISHOP_CORNERED = -77;
constexpr int BLOCKED_CENTRE_PAWN = -35;
constexpr int UNDEVELOPED_MINOR = -72;
constexpr int UNDEVELOPED_WITH_QUEEN_OUT = -14;
constexpr int UNDEVELOPED_WITH_ROOK_OUT = -8;
constexpr int BLOCKED_PASSER = -80;
constexpr int BLOCKED_PASSER_SIXTH = -30;
constexpr int FREE_PASSER_SEVENTH = 115;
constexpr int FREE_PASSER_SIXTH = 40;
constexpr int PAWN_ON_BISHOP_COLOUR = -25;
constexpr int OUTPOST_MG = 48;
constexpr int OUTPOST_EG = 37;
constexpr int WEAK_PAWN_ATTACKED_MG = -29;
constexpr int WEAK_PAWN_ATTACKED_EG = -50;
constexpr int ROOK_BEHIND_PASSER = 123;
constexpr int ROOK_SEVENTH = 91;
constexpr int ROOK_SEVENTH_PAWNS_MG = 30;
constexpr int ROOK_SEVENTH_PAWNS_EG = 100;
constexpr int CONNECTED_ROOKS_MG = 35;

// ---- King safety in the middlegame (every weight here is subtracted but the square table) ----

constexpr int KING_SAFETY_SQUARE[64] = {
    41, 47, 37, 15, 15, 37, 47, 41,  //
    39, 45, 29, 12, 12, 29, 45, 39,  //
    21, 22, 16, -1, -1, 16, 22, 21,  //
    25, 23, 6,  0,  0,  6,  23, 25,  //
    25, 23, 6,  0,  0,  6,  23, 25,  //
    21, 22, 16, -1, -1, 16, 22, 21,  //
    39, 45, 29, 12, 12, 29, 45, 39,  //
    41, 47, 37, 15, 15, 37, 47, 41,
};

// By the number of king-zone squares under attack.
constexpr int KING_ZONE_ATTACK[26] = {4,   0,   0,   1,   4,   9,   14,  20,  28,  36,  46,  57,  69,
                                      82,  95,  111, 125, 135, 143, 150, 155, 155, 155, 155, 155, 155};
// By the number of own pawns next to a king that cannot move.
constexpr int PAWN_SHIELD[9] = {35, 15, -2, -4, -15, -15, -15, -15, -15};
// Zone squares the enemy attacks twice without our double cover, two of them side by side on a
// rank or one above the other on a file.
constexpr int DOUBLE_ATTACKS_ON_RANK = 71;
constexpr int DOUBLE_ATTACKS_ON_FILE = 26;
// Indexed by how many zone squares the enemy attacks twice without our double cover (0, 1, more).
constexpr int ZONE_WEIGHT[3] = {1, 11, 23};
constexpr int HANGING_WEIGHT[3] = {5, 129, 144};
constexpr int PIN_WEIGHT[3] = {1, 27, 165};
constexpr int QUEEN_WEIGHT[3] = {3, 18, 179};

// ---- The king in the endgame ----

constexpr int KING_CENTRE_EG = 22;  // per rook step of the enemy king from the centre beyond ours
// While the enemy has a queen: per own piece next to the king, up to KING_SHELTER_MAX of them.
constexpr int KING_SHELTER = 33;
constexpr int KING_SHELTER_MAX = 3;
// Per king step that the enemy king needs beyond ours to reach the squares in front of passers;
// a king that cannot get there within KING_RACE_MAX_STEPS counts that many.
constexpr int PASSER_KING_RACE = 44;
constexpr int KING_RACE_MAX_STEPS = 8;
constexpr int KING_NEXT_TO_PAWNS = 24;  // per pawn of either colour next to the king
// The king's room: free squares two steps out, each pawn in reach counting KING_ROOM_PER_PAWN.
constexpr int KING_ROOM = 3;
constexpr int KING_ROOM_PER_PAWN = 8;
// Per ring around the king (its neighbours, its room, the room grown by one) without an
// undefended pawn of either colour; subtracted.
constexpr int KING_AWAY_FROM_LOOSE_PAWNS = 17;

// ---- Endgame recognizers ----

// Drawn endings that are no dead draw (0) score this token edge for the side with more material.
constexpr int DRAWN_EDGE = 1;

// Search depths, in eighths of a ply.
constexpr int TWO_KNIGHTS_DEPTH_LIMIT = ONE_PLY;  // only a blunder loses, and a shallow search finds it
// Equal pieces with tactics about: from EQUAL_PIECES_TRIM_DEPTH on the fraction of a ply is dropped,
// from EQUAL_PIECES_CUT_DEPTH on a whole ply.
constexpr int EQUAL_PIECES_TRIM_DEPTH = 2 * ONE_PLY + 1;
constexpr int EQUAL_PIECES_CUT_DEPTH = 3 * ONE_PLY;
constexpr int PAWN_ENDING_ZUGZWANG_EXTENSION = 7;  // when the king of the side to move has no square

// Rook or queen against the bare king: the bonus, and the lower bound the search may cut with.
constexpr int MAJOR_VS_KING_BONUS = 4000;
constexpr int ROOK_VS_KING_FLOOR = 6950;
constexpr int QUEEN_VS_KING_FLOOR = 11772;
constexpr int QUEEN_VS_ROOK_BONUS = 3000;
constexpr int QUEEN_VS_ROOK_FLOOR = 5822;

// Driving the defending king to be mated: to the edge, with the attacking king close (bishop and
// knight against the king, two knights against a pawn), and for bishop and knight along the edge
// to a corner of the bishop's colour.
constexpr int MATING_EDGE = 40;         // per rook step of the defending king from the centre
constexpr int MATING_KINGS_CLOSE = 20;  // per king step nearer to the attacking king
constexpr int MATING_CORNER = 60;       // per rook step nearer to the right corner
constexpr int MATING_CORNER_ZONE = 200;
constexpr int BISHOP_KNIGHT_FLOOR = 4105;
constexpr int BISHOP_KNIGHT_SHAKY_FLOOR = 1;  // with a piece attacked or the knight in a corner

// King and pawn against king: a win is worth KPK_WIN_BASE less the table's distance.
constexpr int KPK_WIN_BASE = 8772;
constexpr int KPK_WIN_FLOOR = 8672;

// A pawn against a lone minor: with fewer free squares than this the pawn's king may be mated.
constexpr int PAWN_VS_MINOR_KING_ROOM = 2;
constexpr int PAWN_VS_MINOR_BASE = 200;
constexpr int PAWN_VS_MINOR_PER_RANK = 100;

// Two knights against a pawn: they win when one of them blockades the pawn no further advanced
// than this rank (the pawn's ranks from home, by file).
constexpr int TWO_KNIGHTS_BLOCKADE_LIMIT[8] = {4, 2, 3, 4, 4, 3, 2, 4};
constexpr int TWO_KNIGHTS_BLOCKADE = 2500;
constexpr int TWO_KNIGHTS_HELD_PAWN = 1000;
constexpr int TWO_KNIGHTS_HELD_DRIVE_DIVISOR = 2;
constexpr int TWO_KNIGHTS_FREE_PAWN = 100;

// The defender of a piece ending stands safe at this distance measure or less; beyond it the
// attacker's value is the square of the excess times the kind's weight.
constexpr int SAFE_DEFENCE = 1;
constexpr int ROOK_VS_MINOR_DEFENCE = 33;
constexpr int TWO_MINORS_DEFENCE = 20;
constexpr int ROOK_MINOR_VS_ROOK_DEFENCE = 33;
constexpr int DEFENCE_HANGING_PIECE = 2;       // added to the measure
constexpr int DEFENCE_ATTACKER_KING_ROOM = 2;  // with fewer free squares the attacker may lose too

// Rook and minor (or rook alone) against rook (or minor) and pawn: the value that replaces the
// material term, for the side without the pawn.
constexpr int ROOK_MINOR_VS_ROOK_PAWN_VALUE = 100;

// Rook and pawn against rook: the pawn by its ranks from home and by file (rook pawns are held
// most easily), the value divided with the defending king in front of the pawn, and the race of
// the kings to the promotion square, per king step the defender needs beyond the attacker.
constexpr int ROOK_PAWN_RANK[8] = {0, 0, 50, 100, 200, 350, 500, 0};
constexpr int ROOK_PAWN_FILE[8] = {-250, -80, 0, 0, 0, 0, -80, -250};
constexpr int ROOK_PAWN_KING_IN_FRONT_DIVISOR = 4;
constexpr int ROOK_PAWN_KING_RACE = 40;
constexpr int ROOK_PAWN_KING_RACE_MAX = 200;
constexpr int ROOK_BEHIND_PAWN = 150;

constexpr int QUEEN_MINOR_RATIO_WEIGHT = 333;  // the classical balance with this weight

// Pawn endings: passed pawns by their ranks from home, the race of the kings to the square in
// front (per rank from home and king step, up to the steps counted), and a pawn the enemy king
// cannot catch, nearly a queen.
constexpr int PASSED_PAWN_RANK[8] = {0, 50, 80, 150, 250, 400, 600, 0};
constexpr int PASSED_PAWN_KING_RACE = 4;
constexpr int PASSED_PAWN_KING_RACE_MAX = 4;
constexpr int UNSTOPPABLE_PAWN = 3000;

// Bishops of opposite colours: the value is divided, and the part beyond the knee once more.
constexpr int OPPOSITE_BISHOPS_DIVISOR = 2;
constexpr int OPPOSITE_BISHOPS_KNEE = 500;
constexpr int PAWN_ON_OWN_BISHOP_COLOUR = 30;

constexpr int KNIGHT_ON_RIM = 90;         // subtracted
constexpr int KNIGHT_HARASSES_KING = 27;  // two files and two ranks from the enemy king

constexpr int BISHOP_PAWNS_ON_BOTH_WINGS = 100;
constexpr int BISHOP_NEEDS_SQUARES = 4;
constexpr int BISHOP_SHORT_OF_SQUARES = 35;  // per square below the need

// Queen endings: the side ahead gains with a king safe from checks and loses as much otherwise;
// each side gains per rook step that the enemy king stands further from the centre.
constexpr int QUEEN_ENDING_KING_SAFE = 127;
constexpr int QUEEN_ENDING_KING_CENTRE = 6;

// Pawns on one side only: a pawnless side ahead by less than a minor piece cannot win, and gives
// back this share of the material difference.
constexpr int ONE_SIDE_PAWNS_WINNING_LEAD = PIECE_VALUE[BISHOP];
constexpr int ONE_SIDE_PAWNS_GIVE_BACK_NUMERATOR = 3;
constexpr int ONE_SIDE_PAWNS_GIVE_BACK_DENOMINATOR = 4;

// Unclear pawnless piece endings: a king with fewer free squares than this.
constexpr int UNCLEAR_KING_ROOM = 4;

}  // namespace zelmora::weights
