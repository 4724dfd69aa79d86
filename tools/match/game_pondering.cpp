// The game's side of pondering: starting a ponder search on the reply the last mover expects,
// judging searches that end out of turn, and stopping what still runs when the game is over.

#include <algorithm>

#include "board/movegen.h"
#include "board/notation.h"
#include "match/game.h"
#include "match/move_text.h"

namespace zelmora::match {

Move Game::ponderOffer(const Position& after, const std::string& text) const {
    Move m = NO_MOVE;
    if (text.empty() || !textToMove(after, text.c_str(), m, true)) return NO_MOVE;
    // Nothing to ponder on when the reply ends the game.
    Position next = after;
    UndoRecord undo;
    if (!next.makeLegal(m, undo) || noLegalMove(next)) return NO_MOVE;
    return m;
}

Game::PonderOutcome Game::settlePondering(Colour side, UciEngine& engine, EngineStats& st) {
    const Move expected = ponderingOn_[side];
    ponderingOn_[side] = NO_MOVE;
    if (expected == NO_MOVE) return PonderOutcome::NONE;
    if (moves_.back().move == expected) {
        ++st.ponderHits;
        return PonderOutcome::HIT;
    }
    ++st.ponderMisses;
    const SearchResult& r = engine.stopSearch(settings_.graceUs);
    if (r.status == SearchResult::MOVE) {
        st.worstStopUs = std::max(st.worstStopUs, r.elapsedUs);
        return PonderOutcome::MISS;
    }
    if (r.status == SearchResult::NO_ANSWER) {
        engine.kill();
        ++st.hangs;
        needsRestart_[side] = true;
        finish(side == WHITE ? -1 : 1, Ending::HANG,
               describe(side, engine) + " did not answer stop within " + secondsText(settings_.graceUs));
    } else {
        ponderFailure(side, engine, st, r);
    }
    return PonderOutcome::FAULT;
}

bool Game::startPondering(const GameRecord& record, UciEngine& engine, EngineStats& st, const GameClock clocks[2],
                          UciEngine*& ponderer) {
    const Move reply = offered_;
    offered_ = NO_MOVE;
    ponderer = nullptr;
    if (reply == NO_MOVE) return true;
    const Colour c = record.position.whiteToMove() ? BLACK : WHITE;  // the last mover
    std::string position = positionCommand();  // ends with the ponderer's own move
    position += ' ';
    position += uciText(record.position, reply, chess960_);
    // The clocks as they stand, with the ponderer to move in its position.
    std::string go = goCommand(clocks, c == WHITE);
    go.insert(2, " ponder");
    const TimePoint deadline = SteadyClock::now() + std::chrono::microseconds(settings_.graceUs);
    if (!engine.startSearch(position, go, true, deadline)) {
        ponderFailure(c, engine, st, engine.result());
        return false;
    }
    ponderingOn_[c] = reply;
    ponderer = &engine;
    return true;
}

void Game::ponderFailure(Colour c, UciEngine& engine, EngineStats& st, const SearchResult& r) {
    ponderingOn_[c] = NO_MOVE;
    needsRestart_[c] = needsRestart_[c] || r.status != SearchResult::EARLY_BESTMOVE;
    const int loss = c == WHITE ? -1 : 1;
    const std::string who = describe(c, engine);
    if (r.status == SearchResult::EARLY_BESTMOVE) {
        ++st.illegalMoves;
        finish(loss, Ending::ILLEGAL_MOVE,
               who + " broke the pondering protocol: 'bestmove " + r.move + "' before ponderhit or stop");
    } else if (r.status == SearchResult::DIED) {
        engine.settle();
        ++st.crashes;
        finish(loss, Ending::CRASH, who + " died while pondering: " + engine.exitDescription());
    } else {
        engine.kill();
        ++st.hangs;
        finish(loss, Ending::HANG, who + " does not take its input while pondering");
    }
}

void Game::stopSearches(UciEngine* const engines[2], EngineStats* const stats[2]) {
    for (Colour c : {WHITE, BLACK}) {
        ponderingOn_[c] = NO_MOVE;
        UciEngine& engine = *engines[c];
        if (!engine.searching()) continue;
        EngineStats& st = *stats[c];
        const SearchResult& r = engine.stopSearch(settings_.graceUs);
        const std::string who = describe(c, engine);
        if (r.status == SearchResult::MOVE) {
            st.worstStopUs = std::max(st.worstStopUs, r.elapsedUs);
            continue;
        }
        if (r.status == SearchResult::EARLY_BESTMOVE) {
            ++st.illegalMoves;
            reason_ += "; " + who + " sent bestmove while pondering, before ponderhit or stop";
            continue;
        }
        needsRestart_[c] = true;
        if (r.status == SearchResult::DIED) {
            engine.settle();
            ++st.crashes;
            reason_ += "; " + who + " died when stopped: " + engine.exitDescription();
        } else {
            engine.kill();
            ++st.hangs;
            reason_ += "; " + who + " did not answer stop within " + secondsText(settings_.graceUs);
        }
    }
}

}  // namespace zelmora::match
