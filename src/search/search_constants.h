#pragma once
// Every number of the search rules, named by what it does. Depths are in eighths of a ply, scores
// in thousandths of a pawn.

#include <cstdint>

#include "board/units.h"

namespace zelmora {

// Plies 0..MAX_PLY; the search answers with the static evaluation at MAX_PLY.
constexpr int MAX_PLY = 100;

// ---- Node entry ----
constexpr int CLOCK_POLL_MIN_DEPTH = ONE_PLY;      // the clock is asked at nodes deeper than this
constexpr int GAME_DRAW_MIN_DEPTH = 2 * ONE_PLY;   // the game-history draw test runs from this depth
constexpr int TABLE_CUTOFF_MIN_PLY = 6;            // table cutoffs only below the first plies
constexpr int PATH_REPETITION_DISTANCE = 4;        // the nearest earlier node with the same side to move
// A reduced move after which the evaluation swung this far against its mover is searched in full.
constexpr int REDUCTION_RECALL_SWING = 200;

// ---- Extensions ----
constexpr int MARKED_NODE_EXTENSION = 7;  // mate threat, draw escape: remembered in the table entry
constexpr int ONLY_MOVE_EXTENSION = 7;
constexpr int CHECK_EVASION_EXTENSION = 4;
constexpr int RECAPTURE_EXTENSION = 4;
constexpr int RECAPTURE_BALANCE_LIMIT = 3260;  // only recaptures that keep the material near level
constexpr int PAWN_TO_SEVENTH_EXTENSION = 6;
constexpr int FREE_PAWN_TO_SIXTH_EXTENSION = 5;
// A safe promotion deep in the tree is settled soon enough: it gives back part of its extension.
constexpr int PROMOTION_CUT_MIN_DEPTH = 3 * ONE_PLY;
constexpr int PROMOTION_DEEP_CUT_DEPTH = 4 * ONE_PLY;
constexpr int PROMOTION_CUT = ONE_PLY;
constexpr int PROMOTION_DEEP_CUT = 2 * ONE_PLY;
constexpr int CHECK_AFTER_KING_MOVE_EXTENSION = 3;
constexpr int CHECK_BY_SAME_PIECE_EXTENSION = 2;
// Later moves of a node only count as reduced when their parent's extension stayed below this.
constexpr int REDUCTION_PARENT_EXTENSION_LIMIT = 7;

// ---- Table ----
// A stored move is tried first when its entry is at most this much shallower (one ply more for
// entries of the main search than for quiescence ones).
constexpr int HASH_MOVE_DEPTH_SLACK = 2 * ONE_PLY;

// ---- Null move ----
constexpr int NULL_MOVE_MIN_DEPTH = ONE_PLY;
constexpr int NULL_MOVE_MIN_MOBILITY = 3;
constexpr int NULL_MOVE_REDUCTION = 2 * ONE_PLY;
constexpr int NULL_MOVE_DEEP_REDUCTION = 3 * ONE_PLY;
constexpr int NULL_MOVE_DEEP_MIN_DEPTH = 6 * ONE_PLY;      // with two free sliders
constexpr int NULL_MOVE_DEEPER_MIN_DEPTH = 8 * ONE_PLY;    // with one
constexpr int NULL_MOVE_SPACING = 2;                        // plies between two null moves of a path
constexpr int STATIC_NULL_MARGIN = 125;

// ---- Move loop ----
constexpr int BUSY_SET_MIN_DEPTH = 2 * ONE_PLY;
constexpr int BUSY_SET_MAX_DEPTH = 6 * ONE_PLY - 1;
constexpr int LOOKAHEAD_MIN_DEPTH = 4 * ONE_PLY;
constexpr int REDUCTION_MIN_DEPTH = 2 * ONE_PLY;  // one ply more right after a null move
constexpr int REDUCTION_MIN_MOVES = 3;            // plus one each for short null-window paths
constexpr int FUTILITY_MARGIN = 1500;
constexpr int KILLER_MIN_NULL_DISTANCE = 3;       // killers are kept this far below a null move
// A capture that is the only way out of check, into a dead draw, while we stand well: marked.
constexpr int DRAW_ESCAPE_MAX_MOVES = 2;
constexpr int DRAW_ESCAPE_MIN_ALPHA = 500;
constexpr int DRAW_SCORE_TOLERANCE = 1;
constexpr int PAWN_ENDING_MAX_PAWN_GAP = 2;        // the pawn-ending extension needs a fight on both sides
constexpr int STOPPED_NODE_REMOVAL_MIN_PLY = 4;    // a stopped node this deep drops its table entry

// ---- Threat test of static null pruning: attacked pieces worth less than the margin are ignored ----
constexpr int THREAT_IGNORES_PAWNS = 2000;
constexpr int THREAT_IGNORES_MINORS = 4260;
constexpr int THREAT_IGNORES_ROOKS = 5950;

// ---- Quiescence ----
constexpr int QUIESCENCE_ENTRY_DEPTH = -1;
constexpr int QUIESCENCE_CHECKS_END = -4;  // quiet checks are generated above this depth only
constexpr int SINGLE_EVASION_EXTENSION = 2;
constexpr int DELTA_PRUNING_MARGIN = 3220;  // stand pat this far below alpha tries only some victims
constexpr int DELTA_VICTIM_MARGIN = 2000;

// ---- Root ----
constexpr int ASPIRATION_STEP = 500;
constexpr int ASPIRATION_JUMP = 250;       // a fail high beyond beta by more than this ...
constexpr int ASPIRATION_WIDE_STEP = 400;  // ... widens the next window by this much more
constexpr int SOFT_LIMIT_MIN_ROOT_MOVES = 5;  // the soft limit ends an iteration only after these
constexpr double ROOT_ORDER_SCORE_WEIGHT = 1000.0;      // node share weight of the first thread
constexpr double ROOT_ORDER_THREAD_SPREAD = 3000.0;     // added across the threads so they diverge
constexpr double ROOT_SHARE_NORMALISER = 0.1;
constexpr double DRAWN_ROOT_MOVE_SHARE = 0.99;   // an unexplored drawn move is tried early
constexpr double UNEXPLORED_SHARE = 0.005;

// ---- Iterations and the best-move-change estimate ----
constexpr double INITIAL_CHANGE_PERCENT = 20.0;
constexpr double MAX_CHANGE_PERCENT = 75.0;
constexpr double BOOK_EXIT_CHANGE_BONUS = 18.0;  // just out of the book the move is less settled
// Only ordinary middle-game searches of some size feed the time log.
constexpr int TIME_LOG_SCORE_LIMIT = 3499;
constexpr int TIME_LOG_GAME_KEYS_LIMIT = 20;  // positions in the game record: only early moves
constexpr std::uint64_t TIME_LOG_MIN_NODES = 25000;

// ---- Killers and history ----
constexpr std::int16_t KILLER_EMPTY_SCORE = -9999;
constexpr int KILLER_DEPTH_WEIGHT = 3;
constexpr int KILLER_MATE_DEPTH_WEIGHT = 2;
constexpr int KILLER_AFTER_NULL_BONUS = 184;
constexpr std::uint32_t HISTORY_START_INCREMENT = 0x10000;
constexpr std::uint32_t HISTORY_RESCALE_AT = 0x3C000000;
constexpr int HISTORY_RESCALE_SHIFT = 11;
constexpr std::uint32_t HISTORY_MIN_INCREMENT = 256;
constexpr std::uint32_t HISTORY_AGING_DIVISOR = 16;

// ---- Memory ----
// Successors whose table buckets a quiescence node fetches before searching any of them.
constexpr int PREFETCHED_SUCCESSORS = 6;

}  // namespace zelmora
