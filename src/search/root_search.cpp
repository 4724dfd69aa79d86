// The root of the tree: the root move list, its order between iterations, one iteration over
// it with null windows around the best score, and the principal variation from the table.

#include <algorithm>
#include <cstring>

#include "board/movegen.h"
#include "board/notation.h"
#include "search/mate_in_one.h"
#include "search/engine.h"
#include "search/search_limits.h"
#include "search/transposition_table.h"
#include "util/insertion_sort.h"

namespace zelmora {

namespace {

// Plays m when it is a legal move of the position (the table may hold a colliding key's move).
bool playIfLegal(Position& pos, Move m, UndoRecord& undo) { return isGeneratedMove(pos, m) && pos.makeLegal(m, undo); }

// Whether the word occurs in text as a whole blank-separated token.
bool containsToken(const char* text, const char* word) {
    const std::size_t length = std::strlen(word);
    for (const char* p = text; *p != '\0';) {
        while (*p == ' ' || *p == '\t') ++p;
        const char* end = p;
        while (*end != '\0' && *end != ' ' && *end != '\t') ++end;
        if (std::size_t(end - p) == length && std::strncmp(p, word, length) == 0) return true;
        p = end;
    }
    return false;
}

}  // namespace

bool Engine::filterAllows(Move m) const {
    const RootFilter& filter = settings().rootFilter;
    if (!filter.active) return true;
    char text[16];
    const bool named = containsToken(filter.moves.c_str(), moveToText(position, m, MoveStyle::COORDINATE, text));
    return named != filter.exclude;
}

void Engine::buildRootMoves() {
    MoveEntry list[MAX_MOVES];
    const int n = generateMoves(position, list);
    UndoRecord undo;
    rootMoveCount = 0;
    int legal = 0;
    // A filter that names no legal move (or excludes them all) is ignored rather than leaving
    // the engine without a move.
    for (int pass = 0; pass < 2 && rootMoveCount == 0; ++pass) {
        const bool filtering = pass == 0 && settings().rootFilter.active;
        legal = 0;
        for (int i = 0; i < n; ++i) {
            const Move m = list[i].move;
            if (!position.makeLegal(m, undo)) continue;
            ++legal;
            RootMove root{m, -999999, 0.01, false};
            Move stored;
            int score, count, depthWord;
            // The successor's score is the opponent's view.
            if (table_.probe(position.key(), 1, stored, score, count, depthWord)) {
                root.score = -score;
                root.share = 0.1 / (count + 2);
            }
            position.unmake(undo);
            if (!filtering || filterAllows(m)) rootMoves[rootMoveCount++] = root;
        }
        if (legal == 0) break;
    }
}

void Engine::orderRootMoves() {
    const int n = rootMoveCount;
    double sum = 0.0;
    for (int i = 0; i < n; ++i) sum += rootMoves[i].share;
    for (int i = 0; i < n; ++i) rootMoves[i].share /= sum + ROOT_SHARE_NORMALISER;

    // Each thread weighs the node shares differently, so that the threads diverge.
    const int threadCount = settings().threadCount;
    const double k = ROOT_ORDER_SCORE_WEIGHT + ROOT_ORDER_THREAD_SPREAD * threadIndex / (threadCount > 0 ? threadCount : 1);
    double key[MAX_MOVES];
    int successorCount[MAX_MOVES];  // -1: the successor is not in the table
    UndoRecord undo;
    for (int i = 0; i < n; ++i) {
        const RootMove& r = rootMoves[i];
        const bool drawnAndUnexplored = r.score >= -DRAW_SCORE_TOLERANCE && r.score <= DRAW_SCORE_TOLERANCE &&
                                        r.share < UNEXPLORED_SHARE;
        const double share = drawnAndUnexplored ? DRAWN_ROOT_MOVE_SHARE : r.share;
        key[i] = r.score + k * share;
        successorCount[i] = -1;
        position.makeLegal(r.move, undo);
        Move stored;
        int score, count, depthWord;
        if (table_.probe(position.key(), 1, stored, score, count, depthWord)) successorCount[i] = count;
        position.unmake(undo);
    }

    auto before = [&](int a, int b) {
        const RootMove& x = rootMoves[a];
        const RootMove& y = rootMoves[b];
        if (x.raised != y.raised) return x.raised;
        if (x.raised) return x.score > y.score;
        if (key[a] != key[b]) return key[a] > key[b];
        if (successorCount[a] < 0) return false;
        if (successorCount[b] < 0) return true;
        return successorCount[a] < successorCount[b];
    };
    int order[MAX_MOVES];
    for (int i = 0; i < n; ++i) order[i] = i;
    insertionSort(order, order + n, before);
    RootMove sorted[MAX_MOVES];
    for (int i = 0; i < n; ++i) sorted[i] = rootMoves[order[i]];
    for (int i = 0; i < n; ++i) rootMoves[i] = sorted[i];
}

// The PV move first, then by score.
void Engine::sortMultiPv() {
    auto before = [&](const MultiPvEntry& a, const MultiPvEntry& b) {
        if ((a.move == pvMove) != (b.move == pvMove)) return a.move == pvMove;
        return a.score > b.score;
    };
    insertionSort(multiPvList_, multiPvList_ + multiPvCount_, before);
}

void Engine::reportMultiPv() {
    sortMultiPv();
    const int lines = std::min(settings().multiPv, multiPvCount_);
    PrincipalVariation line;
    for (int i = 0; i < lines; ++i) {
        extractPv(multiPvList_[i].move, line);
        shared_.listener->multiPvLine(*this, i + 1, line, multiPvList_[i].score, -WINDOW_END, WINDOW_END);
    }
}

void Engine::pvReport(int score, int alpha, int beta) {
    extractPv(pvMove, pv);
    shared_.listener->pvLine(*this, score, alpha, beta);
}

Move Engine::extractPv(Move first, PrincipalVariation& out) {
    out.length = 0;
    if (first == NO_MOVE) return NO_MOVE;
    Position pos = shared_.game.position;
    UndoRecord undo;
    std::uint64_t keys[MAX_PV + 1];
    keys[0] = pos.key();
    Move m = first;
    while (out.length < MAX_PV && playIfLegal(pos, m, undo)) {
        // A move back into a position of the line would start a cycle.
        const int plies = out.length + 1;
        bool repeats = false;
        for (int back = 4; back <= plies && !repeats; back += 2) repeats = keys[plies - back] == pos.key();
        if (repeats) break;
        keys[plies] = pos.key();
        out.moves[out.length++] = m;
        int score, count, depthWord;
        if (!table_.probe(pos.key(), plies, m, score, count, depthWord) || m == NO_MOVE) {
            // Nodes that mate in one answer before they store anything: finish the line here.
            if (out.length < MAX_PV && !pos.inCheck() && findMateInOne(pos, m)) out.moves[out.length++] = m;
            break;
        }
    }
    return out.length >= 2 ? out.moves[1] : NO_MOVE;
}

Move Engine::lookUpPonderMove(Move first) {
    Position pos = shared_.game.position;
    UndoRecord undo;
    if (!playIfLegal(pos, first, undo)) return NO_MOVE;
    Move reply;
    int score, count, depthWord;
    if (!table_.probe(pos.key(), 1, reply, score, count, depthWord) || reply == NO_MOVE) return NO_MOVE;
    UndoRecord replyUndo;
    return playIfLegal(pos, reply, replyUndo) ? reply : NO_MOVE;
}

int Engine::rootSearch(int depth) {
    Position& pos = position;
    ++ply;
    PlyEntry& entry = at(ply);
    entry.key = pos.key();
    entry.bestMove = NO_MOVE;
    entry.nullWindowCount = 0;
    entry.staticEval = evaluator.evaluate(pos);
    ++nodes;
    int best = -MATE;
    const int alpha0 = rootAlpha;
    const bool reportChanges = iterationDepth > 0;  // the first iteration is reported as a whole
    const int multiPv = settings().multiPv;

    for (int i = 0; i < rootMoveCount; ++i) {
        RootMove& root = rootMoves[i];
        const Move m = root.move;
        entry.currentMove = m;
        pos.makeLegal(m, entry.undo);
        entry.captured = entry.undo.captured;
        entry.extension = std::int16_t(pawnAndCheckExtension(entry, depth, pos.inCheck(), true));
        shared_.listener->currMove(*this, m, i + 1);
        const int d = newDepth(entry, depth);
        const std::uint64_t nodesBefore = nodes;

        int s = -search(-rootBeta, -rootAlpha, d);
        bool fellBack = false;
        if (s >= rootBeta && !stopped()) {
            const Move previous = pvMove;
            if (reportChanges) {
                pvMove = m;
                pvReport(s, rootAlpha, rootBeta);
            }
            const int newBeta =
                rootBeta < MATE ? s + ASPIRATION_STEP + (s > rootBeta + ASPIRATION_JUMP ? ASPIRATION_WIDE_STEP : 0) : WINDOW_END;
            s = -search(-newBeta, -rootAlpha, d);
            if (s >= newBeta && newBeta <= MATE && !stopped()) {
                if (reportChanges) pvReport(s, rootAlpha, newBeta);
                s = -search(-WINDOW_END, -rootAlpha, d);
            }
            if (reportChanges && s <= rootAlpha && previous != NO_MOVE && previous != pvMove &&
                !stopped()) {
                pvMove = previous;
                changedBack_ = true;
                fellBack = true;
            }
        }
        pos.unmake(entry.undo);
        // The old move is back with the exact score it had in this iteration.
        if (fellBack) pvReport(best, -WINDOW_END, WINDOW_END);
        if (stopped()) break;

        root.score = s;
        root.share = double(nodes - nodesBefore);
        root.raised = s > rootAlpha;
        if (s > best) {
            best = s;
            if (s > rootAlpha) {
                pvMove = m;
                rootBeta = s + 1;
                newBest = true;
                if (reportChanges) pvReport(s, rootAlpha, s + 1);
            }
        }

        multiPvList_[multiPvCount_++] = MultiPvEntry{m, s};
        if (multiPvCount_ >= multiPv) {
            sortMultiPv();
            const int last = multiPvList_[multiPv - 1].score;
            if (last - 1 > rootAlpha) rootAlpha = last - 1;
            if (multiPv < 2 && rootAlpha < best) rootAlpha = best;
        }

        if (i + 1 >= SOFT_LIMIT_MIN_ROOT_MOVES && best > alpha0 && !pondering() && clock != nullptr &&
            clock->softExceeded())
            break;
    }
    --ply;
    if (rootMoveCount == 0) return pos.inCheck() ? -MATE : 0;
    return best;
}

}  // namespace zelmora
