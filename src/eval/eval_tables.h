#pragma once
// The evaluation's weights. Square tables are indexed a8 = 0 ... h1 = 63 and written from
// White's side; Black reads the mirrored square.

namespace zelmora::weights {

// Mobility by the number of safe destination squares.
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
constexpr int PAWN_SHIELD[9] = {35, 15, -2, -4, -15, -15, -15, -15, -15};
// Indexed by how many zone squares the enemy attacks twice without our double cover (0, 1, more).
constexpr int ZONE_WEIGHT[3] = {1, 11, 23};
constexpr int HANGING_WEIGHT[3] = {5, 129, 144};
constexpr int PIN_WEIGHT[3] = {1, 27, 165};
constexpr int QUEEN_WEIGHT[3] = {3, 18, 179};

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
constexpr int DEFENDED_PAWN_COUNT_MG[8] = {-12, -4, -3, 6, 15, 20, -13, 0};
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

constexpr int TEMPO_MG = 33;
constexpr int TEMPO_EG = 3;

}  // namespace zelmora::weights
