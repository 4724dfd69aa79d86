#pragma once
// The xboard front end: keeps its own copy of the game and drives the UCI engine by queueing
// UCI command lines for it.

#include <atomic>
#include <cstdint>
#include <string>

#include "board/game_record.h"
#include "options/option_table.h"
#include "util/platform.h"
#include "xboard/command_queue.h"
#include "xboard/score_history.h"
#include "xboard/time_control.h"

namespace zelmora {

struct Session;
class UciProtocol;
class XboardOutput;

class XboardProtocol {
public:
    static constexpr int MOVE_WIDTH = 6;  // every move of the move list takes six characters

    // engine is read for its resign threshold only.
    XboardProtocol(UciProtocol* uci, XboardOutput* output, const Session* session);
    // Stops the queue worker; lines still waiting are dropped.
    ~XboardProtocol();
    XboardProtocol(const XboardProtocol&) = delete;
    XboardProtocol& operator=(const XboardProtocol&) = delete;

    void handle(const char* line);
    // The search's answer (from the search thread): nullptr texts when it found no move.
    void engineMoved(const char* bestText, const char* ponderText, int score, bool rootHadChoice);
    // Returns when every queued UCI line has been run.
    void waitUntilIdle() { queue_.waitUntilIdle(); }
    // Stops taking UCI lines; the one being run is finished first.
    void shutDown() { queue_.terminate(); }

    // Shown each UCI line just before it is run (tests watch the translation); set it before
    // the first command.
    using LineObserver = void (*)(void* context, const char* line);
    void observeUciLines(LineObserver observer, void* context) {
        observer_ = observer;
        observerContext_ = context;
    }

private:
    using Command = void (XboardProtocol::*)(const char* line);
    struct Keyword {
        const char* word;
        Command command;
    };
    static const Keyword KEYWORDS[];

    void xboard(const char* line);
    void protover(const char* line);
    void accepted(const char*) {}
    void rejected(const char* line);
    void newGame(const char* line);
    void variant(const char* line);
    void random(const char*) {}
    void force(const char* line);
    void go(const char* line);
    void playother(const char* line);
    void level(const char* line);
    void st(const char* line);
    void sd(const char* line);
    void time(const char* line);
    void otim(const char*) {}
    void usermove(const char* line);
    void moveNow(const char* line);
    void ping(const char* line);
    void draw(const char* line);
    void result(const char* line);
    void setboard(const char* line);
    void hint(const char* line);
    void bk(const char* line);
    void undo(const char* line);
    void remove(const char* line);
    void hard(const char* line);
    void easy(const char* line);
    void post(const char* line);
    void nopost(const char* line);
    void analyze(const char* line);
    void name(const char* line);
    void rating(const char*) {}
    void computer(const char*) {}
    void exit(const char* line);
    void dot(const char* line);
    void unknown(const char* line);

    static void runUciLine(void* self, const char* line);
    void queue(const char* uciLine);
    void queue(const std::string& uciLine) { queue(uciLine.c_str()); }
    // Queues "setoption name <option> value <value>".
    void setOption(OptionId option, const char* value);
    // Stops a running search without its answer reaching the interface.
    void stopSilently();
    // Queues the position and a "go" line for the engine's move, or a ponder search on the
    // position after the expected move.
    void sendSearch(bool ponder);
    std::string positionLine(const char* extraMove) const;
    void startAnalysis();
    // Plays a move given as text on the game board and appends it to the move list; false when illegal.
    bool playMove(const char* text, std::string* canonicalText = nullptr);
    // Sets the game board from the position base and the move list.
    void rebuildBoard();
    // Prints the result line when the last move ended the game.
    bool announceGameEnd();
    int halfMoves() const { return static_cast<int>(moveList_.size()) / MOVE_WIDTH; }
    void readStartupFile();

    LineObserver observer_ = nullptr;
    void* observerContext_ = nullptr;
    Lock lock_;  // held while one xboard command or one engine move is handled
    UciProtocol* uci_;
    XboardOutput* output_;
    const Session* session_;  // its resign threshold
    CommandQueue queue_;

    GameRecord board_;
    bool chess960_ = false;
    std::string positionBase_ = "startpos";
    std::string moveList_;
    TimeControl timeControl_;
    std::int64_t ownTime_ = 300000;
    std::int64_t searchStart_ = 0;
    std::int64_t fixedTime_ = -1;
    long fixedDepth_ = -1;
    std::string expectedMove_;  // the opponent's reply the engine expects, "" for none

    bool forceMode_ = false;
    bool analyzeMode_ = false;
    bool ponderMode_ = false;
    bool pondering_ = false;
    ScoreHistory scores_;
    int protocolVersion_ = 1;

    // Answers of searches that were stopped silently must not be played: every "go" queued and
    // every "go" run is counted, and an answer counts only when its "go" was queued after the
    // last silent stop.
    std::uint64_t goQueued_ = 0;
    std::uint64_t goStoppedUpTo_ = 0;
    std::atomic<std::uint64_t> goStarted_{0};
};

}  // namespace zelmora
