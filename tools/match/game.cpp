#include "match/game.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "board/movegen.h"
#include "board/notation.h"
#include "match/move_text.h"

namespace zelmora::match {

namespace {

bool allDigits(const std::string& s) { return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos; }

bool isResultToken(const std::string& s) { return s == "1-0" || s == "0-1" || s == "1/2-1/2" || s == "*"; }

// The FEN fields of a FEN or EPD line, with counters ("0 1" when they are missing).
std::string fenFields(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    if (words.size() < 4) return line;
    std::string fen = words[0] + " " + words[1] + " " + words[2] + " " + words[3];
    if (words.size() >= 6 && allDigits(words[4]) && allDigits(words[5]))
        fen += " " + words[4] + " " + words[5];
    else
        fen += " 0 1";
    return fen;
}

bool setUpStart(const Opening& opening, GameRecord& record, std::string& error) {
    if (opening.chess960 >= 0) {
        if (record.setChess960(unsigned(opening.chess960))) return true;
        error = "cannot set up Chess960 position " + std::to_string(opening.chess960);
        return false;
    }
    if (opening.fen.empty()) {
        record.newGame();
        return true;
    }
    if (record.setFen(opening.fen.c_str())) return true;
    error = "bad FEN '" + opening.fen + "'";
    return false;
}

// A bestmove must be plain coordinates: e2e4, e7e8q.
bool looksLikeCoordinates(const std::string& text) {
    if (text.size() != 4 && text.size() != 5) return false;
    for (int i = 0; i < 4; ++i) {
        const char c = text[std::size_t(i)];
        if (i % 2 == 0 ? (c < 'a' || c > 'h') : (c < '1' || c > '8')) return false;
    }
    return text.size() == 4 || std::string("nbrq").find(text[4]) != std::string::npos;
}

const char* colourName(Colour c) { return c == WHITE ? "White" : "Black"; }

// The side has nothing but its king: it cannot win on the opponent's time.
bool bareKing(const Position& pos, Colour c) { return pos.side(c).count[ALL_PIECES] == 1; }

}  // namespace

bool loadOpenings(const std::string& path, std::vector<Opening>& openings, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    std::string line;
    for (int lineNumber = 1; std::getline(in, line); ++lineNumber) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        Opening opening;
        opening.label = path + ":" + std::to_string(lineNumber);
        if (line.find('/') != std::string::npos && line.find('/') < line.find_first_of(" \t", first)) {
            opening.fen = fenFields(line);
        } else {
            std::istringstream words(line);
            for (std::string w; words >> w;) {
                const std::size_t dots = w.find_first_not_of("0123456789");
                if (dots != std::string::npos && dots > 0 && w[dots] == '.') {  // a move number: "1." "3...Nf6"
                    const std::size_t move = w.find_first_not_of('.', dots);
                    w = move == std::string::npos ? "" : w.substr(move);
                }
                if (w.empty()) continue;
                if (isResultToken(w)) break;
                opening.moves.push_back(w);
            }
        }
        GameRecord record;
        std::vector<Move> book;
        if (!setUpOpening(opening, record, book, error)) {
            error = opening.label + ": " + error;
            return false;
        }
        openings.push_back(std::move(opening));
    }
    if (openings.empty()) {
        error = path + " holds no openings";
        return false;
    }
    return true;
}

bool chess960Openings(const std::string& list, std::vector<Opening>& openings, std::string& error) {
    std::istringstream in(list);
    for (std::string item; std::getline(in, item, ',');) {
        const std::size_t dash = item.find('-');
        const std::string low = item.substr(0, dash);
        const std::string high = dash == std::string::npos ? low : item.substr(dash + 1);
        if (!allDigits(low) || !allDigits(high) || low.size() > 3 || high.size() > 3 || std::stoi(low) > std::stoi(high) ||
            std::stoi(high) > 959) {
            error = "bad Chess960 number or range '" + item + "' (0..959)";
            return false;
        }
        for (int n = std::stoi(low); n <= std::stoi(high); ++n) {
            Opening opening;
            opening.chess960 = n;
            opening.label = "Chess960 #" + std::to_string(n);
            openings.push_back(opening);
        }
    }
    if (openings.empty()) {
        error = "no Chess960 numbers in '" + list + "'";
        return false;
    }
    return true;
}

bool setUpOpening(const Opening& opening, GameRecord& record, std::vector<Move>& book, std::string& error) {
    if (!setUpStart(opening, record, error)) return false;
    for (const std::string& text : opening.moves) {
        Move m = NO_MOVE;
        if (!textToMove(record.position, text.c_str(), m, true)) {
            error = "illegal or ambiguous book move '" + text + "'";
            return false;
        }
        book.push_back(m);
        record.playMove(m);
    }
    return true;
}

const char* resultText(int result, Ending ending) {
    if (ending == Ending::UNFINISHED) return "*";
    return result > 0 ? "1-0" : result < 0 ? "0-1" : "1/2-1/2";
}

const char* terminationTag(Ending ending) {
    switch (ending) {
    case Ending::UNFINISHED: return "unterminated";
    case Ending::ADJUDICATION: return "adjudication";
    case Ending::ILLEGAL_MOVE: return "rules infraction";
    case Ending::TIME_FORFEIT: return "time forfeit";
    case Ending::CRASH:
    case Ending::HANG: return "abandoned";
    default: return "normal";
    }
}

std::string Game::describe(Colour c, const UciEngine& engine) {
    return std::string(colourName(c)) + " (" + engine.name() + ")";
}

std::string Game::secondsText(std::int64_t us) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.3f s", double(us) / 1e6);
    return buffer;
}

void Game::finish(int result, Ending ending, std::string reason) {
    result_ = result;
    ending_ = ending;
    reason_ = std::move(reason);
}

std::string Game::positionCommand() const {
    std::string text = startFen_.empty() ? "position startpos" : "position fen " + startFen_;
    if (!moves_.empty()) text += " moves";
    for (const PlayedMove& m : moves_) text += " " + m.uci;
    return text;
}

std::string Game::goCommand(const GameClock clocks[2], bool whiteToMove) const {
    auto ms = [](std::int64_t us) { return std::to_string(std::max<std::int64_t>(us / 1000, 1)); };
    std::string text = "go wtime " + ms(clocks[WHITE].remainingUs()) + " btime " + ms(clocks[BLACK].remainingUs());
    if (const std::int64_t inc = settings_.timeControl.incrementUs)
        text += " winc " + std::to_string(inc / 1000) + " binc " + std::to_string(inc / 1000);
    if (const int toGo = clocks[whiteToMove ? WHITE : BLACK].movesToGo()) text += " movestogo " + std::to_string(toGo);
    return text;
}

bool Game::setUp(GameRecord& record, int& moveNumber) {
    if (!setUpStart(opening_, record, setUpError_)) return false;
    char buffer[128];
    if (opening_.chess960 >= 0)
        startFen_ = std::string(record.position.writeFen(buffer)) + " 0 1";
    else
        startFen_ = opening_.fen.empty() ? "" : fenFields(opening_.fen);
    whiteStarts_ = record.position.whiteToMove();
    if (!startFen_.empty()) {
        std::istringstream in(startFen_);
        std::string word;
        for (int i = 0; i < 6 && in >> word; ++i)
            if (i == 5) startMoveNumber_ = std::max(1, std::atoi(word.c_str()));
    }
    moveNumber = startMoveNumber_;
    for (const std::string& text : opening_.moves) {
        Move m = NO_MOVE;
        if (!textToMove(record.position, text.c_str(), m, true)) {
            setUpError_ = "illegal book move '" + text + "'";
            return false;
        }
        PlayedMove played;
        played.move = m;
        played.san = sanText(record.position, m);
        played.uci = uciText(record.position, m, chess960_);
        played.book = true;
        if (!record.position.whiteToMove()) ++moveNumber;
        record.playMove(m);
        moves_.push_back(played);
    }
    return true;
}

void Game::play(UciEngine& white, UciEngine& black, EngineStats& whiteStats, EngineStats& blackStats,
                ExchangeLog* log) {
    UciEngine* engines[2] = {&white, &black};
    EngineStats* stats[2] = {&whiteStats, &blackStats};
    GameRecord record;
    int moveNumber = 1;
    if (!setUp(record, moveNumber)) {
        finish(0, Ending::UNFINISHED, setUpError_);
        return;
    }

    for (Colour c : {WHITE, BLACK}) {
        if (engines[c]->newGame(settings_.readyTimeoutMs)) continue;
        needsRestart_[c] = true;
        const bool died = !engines[c]->alive();
        if (died) engines[c]->settle();
        ++(died ? stats[c]->crashes : stats[c]->hangs);
        finish(c == WHITE ? -1 : 1, died ? Ending::CRASH : Ending::HANG,
               std::string(colourName(c)) + " (" + engines[c]->name() + ") " +
                   (died ? "died before the game: " + engines[c]->exitDescription() : "was not ready for the game"));
        return;
    }

    const TimeControl& tc = settings_.timeControl;
    GameClock clocks[2] = {GameClock(tc), GameClock(tc)};
    Adjudicator adjudicator(settings_.adjudication);
    for (;;) {
        const Position& pos = record.position;
        int outcome = 0;
        if (noLegalMove(pos, &outcome)) {
            if (outcome)
                finish(outcome, Ending::CHECKMATE, outcome > 0 ? "White mates" : "Black mates");
            else
                finish(0, Ending::STALEMATE, "Draw by stalemate");
            break;
        }
        const int draw = record.claimableDraw();
        if (draw == REPETITION) finish(0, Ending::REPETITION, "Draw by threefold repetition");
        if (draw == FIFTY_MOVES) finish(0, Ending::FIFTY_MOVES, "Draw by the fifty-move rule");
        if (draw == INSUFFICIENT_MATERIAL) finish(0, Ending::INSUFFICIENT_MATERIAL, "Draw by insufficient material");
        if (draw == DEAD_POSITION) finish(0, Ending::DEAD_POSITION, "Draw: dead position");
        if (ending_ != Ending::UNFINISHED) break;
        if (const auto verdict = adjudicator.verdict()) {
            finish(*verdict, Ending::ADJUDICATION,
                   *verdict > 0 ? "White wins by adjudication" : *verdict < 0 ? "Black wins by adjudication"
                                                                          : "Draw by adjudication");
            break;
        }

        const Colour side = pos.sideToMove();
        UciEngine& engine = *engines[side];
        const Colour other = side == WHITE ? BLACK : WHITE;
        EngineStats& st = *stats[side];
        const int loss = side == WHITE ? -1 : 1;
        const std::string who = describe(side, engine);
        const std::int64_t remaining = clocks[side].remainingUs();

        const PonderOutcome pondered = settlePondering(side, engine, st);
        if (pondered == PonderOutcome::FAULT) break;
        const bool hit = pondered == PonderOutcome::HIT;
        const TimePoint deadline = SteadyClock::now() + std::chrono::microseconds(remaining + settings_.graceUs);
        const bool asked = hit ? engine.ponderhit(deadline)
                               : engine.startSearch(positionCommand(), goCommand(clocks, side == WHITE), false, deadline);
        UciEngine* ponderer = nullptr;
        if (asked && !startPondering(record, *engines[other], *stats[other], clocks, ponderer)) break;
        const SearchResult r = asked ? engine.awaitResult(deadline, ponderer) : engine.result();
        if (ponderer && !ponderer->searching()) {  // it answered or died while the mover thought
            ponderFailure(other, *ponderer, *stats[other], ponderer->result());
            break;
        }

        if (r.status == SearchResult::EARLY_BESTMOVE) {
            ponderFailure(side, engine, st, r);
            break;
        }
        if (r.status == SearchResult::DIED) {
            engine.settle();
            ++st.crashes;
            needsRestart_[side] = true;
            finish(loss, Ending::CRASH, who + " died: " + engine.exitDescription());
            break;
        }
        if (r.status == SearchResult::NO_ANSWER) {
            engine.kill();
            ++st.hangs;
            needsRestart_[side] = true;
            finish(loss, Ending::HANG, who + " did not answer within " + secondsText(remaining + settings_.graceUs));
            break;
        }
        if (hit) st.worstPonderhitUs = std::max(st.worstPonderhitUs, r.elapsedUs);
        ++st.moves;
        st.thinkingUs += r.elapsedUs;
        if (r.cpuUs >= 0) {
            st.cpuUs += r.cpuUs;
            st.cpuMeasuredUs += r.elapsedUs;
        }
        st.worstOvershootUs = std::max(st.worstOvershootUs, r.elapsedUs - remaining);
        if (!clocks[side].charge(r.elapsedUs, settings_.marginUs)) {
            ++st.timeLosses;
            std::string text = who + " loses on time: " + secondsText(r.elapsedUs) + " used";
            if (r.cpuUs >= 0) text += " (processor " + secondsText(r.cpuUs) + ")";
            text += ", " + secondsText(remaining) + " left";
            if (bareKing(pos, side == WHITE ? BLACK : WHITE))
                finish(0, Ending::TIME_FORFEIT, text + ", but the opponent cannot win");
            else
                finish(loss, Ending::TIME_FORFEIT, text);
            break;
        }
        Move m = NO_MOVE;
        // Some Chess960 engines name castling O-O / O-O-O instead of king takes rook; tolerated, counted.
        const bool castlingWord = chess960_ && (r.move == "O-O" || r.move == "O-O-O");
        if (castlingWord) ++st.castlingWords;
        if (!(castlingWord || looksLikeCoordinates(r.move)) || !textToMove(pos, r.move.c_str(), m, true)) {
            ++st.illegalMoves;
            finish(loss, Ending::ILLEGAL_MOVE, who + " plays an illegal move: '" + r.move + "'");
            break;
        }
        PlayedMove played;
        played.move = m;
        played.san = sanText(pos, m);
        played.uci = uciText(pos, m, chess960_);
        played.info = r.info;
        played.elapsedUs = r.elapsedUs;
        adjudicator.record(side == WHITE, r.info.hasScore ? std::optional<int>(comparableScore(r.info)) : std::nullopt,
                           moveNumber);
        if (side == BLACK) ++moveNumber;
        record.playMove(m);
        moves_.push_back(played);
        offered_ = engine.ponders() ? ponderOffer(record.position, r.ponderMove) : NO_MOVE;
    }
    stopSearches(engines, stats);
    if (log) log->note("game over: " + std::string(resultText(result_, ending_)) + " " + reason_);
}

}  // namespace zelmora::match
