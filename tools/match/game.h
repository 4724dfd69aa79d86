#pragma once
// One game between two UCI engines, refereed by our own board: openings, clocks, the rules that
// end a game, and what each engine did wrong.

#include <cstdint>
#include <string>
#include <vector>

#include "board/game_record.h"
#include "match/adjudicator.h"
#include "match/game_clock.h"
#include "match/uci_engine.h"

namespace zelmora::match {

struct Opening {
    std::string fen;                 // empty: the classical start (or the Chess960 array)
    int chess960 = -1;               // start array number, or -1
    std::vector<std::string> moves;  // book moves, coordinate or SAN
    std::string label;               // where it came from, for messages
};

// Reads openings, one a line: a FEN or EPD line (its operations are ignored), or a move list from
// the start position ("e2e4 e7e5", "1. e4 e5 2. Nf3"). Blank lines and lines starting with '#'
// are skipped. Every opening is checked; false with a message on the first bad line.
bool loadOpenings(const std::string& path, std::vector<Opening>& openings, std::string& error);
// Chess960 arrays from a list like "0-959" or "518,212,7-9".
bool chess960Openings(const std::string& list, std::vector<Opening>& openings, std::string& error);
// Sets up the opening's start position and reads its book moves (on a copy).
bool setUpOpening(const Opening& opening, GameRecord& record, std::vector<Move>& book, std::string& error);

struct GameSettings {
    TimeControl timeControl;
    std::int64_t marginUs = 100000;   // slack over the clock before the flag falls
    std::int64_t graceUs = 5000000;   // silence beyond the clock after which an engine counts as hung
    int readyTimeoutMs = 10000;       // for ucinewgame/isready
    AdjudicationRules adjudication;
    bool chess960 = false;            // UCI_Chess960 castling notation
};

struct EngineStats {
    int wins = 0, draws = 0, losses = 0;
    int illegalMoves = 0, timeLosses = 0, crashes = 0, hangs = 0;
    int castlingWords = 0;  // Chess960 castling sent as O-O or O-O-O
    std::int64_t moves = 0;
    std::int64_t thinkingUs = 0;
    std::int64_t cpuUs = 0, cpuMeasuredUs = 0;  // processor time, and the thinking time it covers
    std::int64_t worstOvershootUs = INT64_MIN;  // largest time used minus time left on the clock
    int ponderHits = 0, ponderMisses = 0;
    std::int64_t worstPonderhitUs = -1;  // longest time from ponderhit to bestmove, -1: none yet
    std::int64_t worstStopUs = -1;       // longest time from stop to bestmove, -1: none yet

    double points() const { return wins + 0.5 * draws; }
};

enum class Ending {
    UNFINISHED,
    CHECKMATE,
    STALEMATE,
    REPETITION,
    FIFTY_MOVES,
    INSUFFICIENT_MATERIAL,
    DEAD_POSITION,
    ADJUDICATION,
    ILLEGAL_MOVE,
    TIME_FORFEIT,
    CRASH,
    HANG,
};

struct PlayedMove {
    Move move = NO_MOVE;
    std::string san, uci;
    bool book = false;
    SearchInfo info;
    std::int64_t elapsedUs = 0;
};

class Game {
public:
    Game(const GameSettings& settings, const Opening& opening)
        : settings_(settings), opening_(opening), chess960_(settings.chess960 || opening.chess960 >= 0) {}

    // Plays the game out; stats are indexed by colour and get the faults and the thinking time.
    void play(UciEngine& white, UciEngine& black, EngineStats& whiteStats, EngineStats& blackStats,
              ExchangeLog* log = nullptr);

    int result() const { return result_; }  // +1 White won, -1 Black won, 0 draw
    Ending ending() const { return ending_; }
    const std::string& reason() const { return reason_; }
    // The engine of this colour misbehaved so that it has to be restarted.
    bool needsRestart(Colour c) const { return needsRestart_[c]; }
    const std::string& startFen() const { return startFen_; }  // empty: the classical start
    int startMoveNumber() const { return startMoveNumber_; }
    bool whiteStarts() const { return whiteStarts_; }
    const std::vector<PlayedMove>& moves() const { return moves_; }
    const std::string& setUpError() const { return setUpError_; }

private:
    // The start position and the book moves; false with setUpError_ when the opening is bad.
    bool setUp(GameRecord& record, int& moveNumber);
    void finish(int result, Ending ending, std::string reason);
    std::string positionCommand() const;
    std::string goCommand(const GameClock clocks[2], bool whiteToMove) const;
    static std::string describe(Colour c, const UciEngine& engine);  // "White (name)"
    static std::string secondsText(std::int64_t us);

    // Pondering, in game_pondering.cpp. When the mover's engine was pondering: HIT for the
    // expected move; otherwise it is stopped (MISS), and FAULT when that failed and ended the game.
    enum class PonderOutcome { NONE, HIT, MISS, FAULT };
    PonderOutcome settlePondering(Colour side, UciEngine& engine, EngineStats& st);
    // The last mover's offered reply becomes a ponder search
    // once its opponent has been asked to move; false (and the game finished) when the engine
    // cannot take it. ponderer is the engine then pondering, or null.
    bool startPondering(const GameRecord& record, UciEngine& engine, EngineStats& st, const GameClock clocks[2],
                        UciEngine*& ponderer);
    // The reply the mover offered to ponder on, when it is legal and the game goes on after it.
    Move ponderOffer(const Position& after, const std::string& text) const;
    // A ponder search ended out of turn (bestmove unasked, death) or could not start: that engine loses.
    void ponderFailure(Colour c, UciEngine& engine, EngineStats& st, const SearchResult& r);
    // The game is over: every search still under way is stopped; faults are counted, the result stands.
    void stopSearches(UciEngine* const engines[2], EngineStats* const stats[2]);

    GameSettings settings_;
    Opening opening_;
    bool chess960_;  // castling goes to the engines as king takes rook
    std::string startFen_;
    int startMoveNumber_ = 1;
    bool whiteStarts_ = true;
    std::vector<PlayedMove> moves_;
    int result_ = 0;
    Ending ending_ = Ending::UNFINISHED;
    std::string reason_;
    bool needsRestart_[2] = {false, false};
    std::string setUpError_;
    Move ponderingOn_[2] = {NO_MOVE, NO_MOVE};  // the reply each colour's engine ponders on
    Move offered_ = NO_MOVE;                    // the last mover's reply to ponder on
};

const char* resultText(int result, Ending ending);  // "1-0", "0-1", "1/2-1/2", "*"
const char* terminationTag(Ending ending);           // the PGN Termination tag

}  // namespace zelmora::match
