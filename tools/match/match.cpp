#include "match/match.h"

#include <unistd.h>

#include <cmath>

#include "match/pgn_writer.h"

namespace zelmora::match {

Match::Match(MatchSettings settings, std::FILE* out) : settings_(std::move(settings)), out_(out) {
    if (!settings_.logPath.empty() && !log_.open(settings_.logPath))
        std::fprintf(out_, "warning: cannot write the log %s\n", settings_.logPath.c_str());
    for (int i = 0; i < 2; ++i)
        engines_[i] = std::make_unique<UciEngine>(settings_.engines[i], log_.enabled() ? &log_ : nullptr,
                                                  std::string(i == 0 ? "e1" : "e2"), settings_.errorPath);
}

Match::~Match() {
    for (auto& engine : engines_) engine->quit();
}

bool Match::startEngine(int i) {
    UciEngine& engine = *engines_[i];
    engine.kill();
    std::string error;
    if (!engine.start(settings_.handshakeTimeoutMs, settings_.game.chess960, error)) {
        std::fprintf(out_, "engine %d (%s) does not start: %s\n", i + 1, engine.command().c_str(), error.c_str());
        engine.kill();
        return false;
    }
    for (const std::string& warning : engine.warnings())
        std::fprintf(out_, "warning: engine %d (%s): %s\n", i + 1, engine.name().c_str(), warning.c_str());
    return true;
}

int Match::run() {
    for (int i = 0; i < 2; ++i)
        if (!startEngine(i)) return 1;
    std::FILE* pgn = nullptr;
    if (!settings_.pgnPath.empty() && !(pgn = std::fopen(settings_.pgnPath.c_str(), "w")))
        std::fprintf(out_, "warning: cannot write the PGN file %s\n", settings_.pgnPath.c_str());
    char host[256] = "?";
    gethostname(host, sizeof host - 1);
    const std::string date = pgnDate();
    for (int i = 0; i < 2; ++i) names_[i] = engines_[i]->name();
    if (names_[0] == names_[1]) {  // self-play
        names_[0] += " #1";
        names_[1] += " #2";
    }
    const std::string* names = names_;
    std::fprintf(out_, "%s vs %s, %d games at %s (flag margin %lld ms, hang grace %lld ms)\n", names[0].c_str(),
                 names[1].c_str(), settings_.games, settings_.game.timeControl.text().c_str(),
                 static_cast<long long>(settings_.game.marginUs / 1000), static_cast<long long>(settings_.game.graceUs / 1000));
    std::fflush(out_);
    if (log_.enabled())
        log_.note("time control " + settings_.game.timeControl.text() + ", flag margin " +
                  std::to_string(settings_.game.marginUs / 1000) + " ms, hang grace " +
                  std::to_string(settings_.game.graceUs / 1000) + " ms");

    int status = 0;
    const Opening classical;
    for (int g = 0; g < settings_.games; ++g) {
        const Opening& opening =
            settings_.openings.empty() ? classical : settings_.openings[std::size_t(g / 2) % settings_.openings.size()];
        const int white = g % 2, black = 1 - white;  // engine 1 has White in odd-numbered games
        Game game(settings_.game, opening);
        if (log_.enabled()) log_.note("game " + std::to_string(g + 1) + ": " + names[white] + " - " + names[black]);
        game.play(*engines_[white], *engines_[black], stats_[white], stats_[black],
                  log_.enabled() ? &log_ : nullptr);
        if (!game.setUpError().empty()) {
            std::fprintf(out_, "game %d: %s: %s\n", g + 1, opening.label.c_str(), game.setUpError().c_str());
            status = 1;
            break;
        }
        ++gamesPlayed_;
        const int whiteScore = game.result();
        if (whiteScore == 0) {
            ++stats_[white].draws;
            ++stats_[black].draws;
        } else {
            ++stats_[whiteScore > 0 ? white : black].wins;
            ++stats_[whiteScore > 0 ? black : white].losses;
        }
        if (pgn) {
            PgnTags tags;
            tags.event = settings_.event;
            tags.site = host;
            tags.date = date;
            tags.round = g + 1;
            tags.white = names[white];
            tags.black = names[black];
            tags.timeControl = settings_.game.timeControl.text();
            tags.chess960 = settings_.game.chess960 || opening.chess960 >= 0;
            std::fputs(pgnText(tags, game).c_str(), pgn);
            std::fflush(pgn);
        }
        std::fprintf(out_, "Game %d: %s - %s %s {%s}  score %s %.1f - %.1f %s\n", g + 1, names[white].c_str(),
                     names[black].c_str(), resultText(game.result(), game.ending()), game.reason().c_str(),
                     names[0].c_str(), stats_[0].points(), stats_[1].points(), names[1].c_str());
        std::fflush(out_);

        bool restarted = true;
        for (Colour c : {WHITE, BLACK}) {
            const int i = c == WHITE ? white : black;
            if (!game.needsRestart(c)) continue;
            std::fprintf(out_, "restarting %s\n", names[i].c_str());
            restarted = restarted && startEngine(i);
        }
        if (!restarted) {
            status = 1;
            break;
        }
    }
    if (pgn) std::fclose(pgn);
    printSummary();
    return status;
}

void Match::printSummary() {
    std::fprintf(out_, "\nFinished: %d games, %s, flag margin %lld ms\n", gamesPlayed_,
                 settings_.game.timeControl.text().c_str(), static_cast<long long>(settings_.game.marginUs / 1000));
    std::fprintf(out_, "%-24s %4s %4s %4s %6s %7s %5s %5s %5s %6s %9s %5s %13s\n", "Engine", "W", "D", "L", "Score",
                 "Illegal", "Time", "Crash", "Hang", "Moves", "ms/move", "cpu%", "max overshoot");
    for (int i = 0; i < 2; ++i) {
        const EngineStats& s = stats_[i];
        char overshoot[32] = "-";
        if (s.moves) std::snprintf(overshoot, sizeof overshoot, "%+.1f ms", double(s.worstOvershootUs) / 1000.0);
        char cpu[16] = "-";
        if (s.cpuMeasuredUs > 0) std::snprintf(cpu, sizeof cpu, "%.0f", 100.0 * double(s.cpuUs) / double(s.cpuMeasuredUs));
        std::fprintf(out_, "%-24.24s %4d %4d %4d %6.1f %7d %5d %5d %5d %6lld %9.1f %5s %13s\n", names_[i].c_str(),
                     s.wins, s.draws, s.losses, s.points(), s.illegalMoves, s.timeLosses, s.crashes, s.hangs,
                     static_cast<long long>(s.moves), s.moves ? double(s.thinkingUs) / double(s.moves) / 1000.0 : 0.0,
                     cpu, overshoot);
    }
    if (settings_.engines[0].ponder || settings_.engines[1].ponder) printPonderSummary();
    for (int i = 0; i < 2; ++i)
        if (stats_[i].castlingWords)
            std::fprintf(out_, "%s sent Chess960 castling as O-O/O-O-O instead of king takes rook %d times "
                               "(accepted)\n", names_[i].c_str(), stats_[i].castlingWords);
    if (gamesPlayed_ > 0) {
        const double p = stats_[0].points() / gamesPlayed_;
        if (p > 0 && p < 1)
            std::fprintf(out_, "Elo difference (%s - %s): %+.0f\n", names_[0].c_str(), names_[1].c_str(),
                         -400.0 * std::log10(1.0 / p - 1.0) + 0.0);
    }
    std::fprintf(out_, "(cpu%%: processor time over thinking time, well below 100 for a single-threaded engine\n"
                       " means a busy machine; max overshoot: the largest time used minus the time left on the\n"
                       " clock, above 0 is past the flag and a loss beyond the margin)\n");
    std::fflush(out_);
}

void Match::printPonderSummary() {
    auto ms = [](std::int64_t us, char* buffer, std::size_t size) {
        if (us >= 0) std::snprintf(buffer, size, "%.1f ms", double(us) / 1000.0);
        return buffer;
    };
    std::fprintf(out_, "%-24s %6s %6s %5s %15s %15s\n", "Pondering", "Hits", "Misses", "Hit%", "max hit->move",
                 "max stop->move");
    for (int i = 0; i < 2; ++i) {
        const EngineStats& s = stats_[i];
        if (!settings_.engines[i].ponder) {
            std::fprintf(out_, "%-24.24s (off)\n", names_[i].c_str());
            continue;
        }
        const int tries = s.ponderHits + s.ponderMisses;
        char rate[16] = "-", hit[32] = "-", stop[32] = "-";
        if (tries) std::snprintf(rate, sizeof rate, "%.0f", 100.0 * s.ponderHits / tries);
        std::fprintf(out_, "%-24.24s %6d %6d %5s %15s %15s\n", names_[i].c_str(), s.ponderHits, s.ponderMisses, rate,
                     ms(s.worstPonderhitUs, hit, sizeof hit), ms(s.worstStopUs, stop, sizeof stop));
    }
    std::fprintf(out_, "(hit->move: from ponderhit to bestmove, the time charged for the move; stop->move: from\n"
                       " stop to the bestmove that is thrown away)\n");
}

}  // namespace zelmora::match
