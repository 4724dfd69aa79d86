// zelmora-match: plays games between two UCI engines with our board as the referee.

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "board/attacks.h"
#include "match/match.h"

using namespace zelmora::match;

namespace {

const char USAGE[] =
    "usage: zelmora-match --engine1 CMD --engine2 CMD [options]\n"
    "  --engine1/--engine2 CMD   command line of an engine (run through /bin/sh)\n"
    "  --name1/--name2 NAME      name in the PGN instead of the engine's own\n"
    "  --option1/--option2 N=V   a setoption for one engine (repeatable); --option N=V for both\n"
    "  --ponder                  both engines think on the opponent's time; --ponder1/--ponder2 one\n"
    "  --games N                 number of games, colours alternate (2)\n"
    "  --tc CONTROL              [moves/]seconds[+increment]: 10+0.1, 2+0.02, 40/60 (10+0.1)\n"
    "  --openings FILE           FEN/EPD lines or move lists; each is played with both colours\n"
    "  --chess960 LIST           Chess960 start arrays, e.g. 0-959 or 518,212 (sets UCI_Chess960)\n"
    "  --shuffle SEED            play the openings in a random order\n"
    "  --pgn FILE                PGN output (match.pgn); --pgn '' for none\n"
    "  --log FILE                every line to and from the engines; their stderr goes to FILE.stderr\n"
    "  --margin MS               time over the clock forgiven before the flag falls (100)\n"
    "  --grace MS                silence beyond the clock before an engine counts as hung (5000)\n"
    "  --timeout MS              for uciok and readyok (10000)\n"
    "  --resign CP MOVES         adjudicate a win when both engines see |score| >= CP for MOVES moves\n"
    "  --draw MOVE CP MOVES      adjudicate a draw from move MOVE when both see |score| <= CP for MOVES moves\n"
    "  --event TEXT              PGN Event tag\n";

[[noreturn]] void fail(const std::string& message) {
    std::fprintf(stderr, "zelmora-match: %s\n", message.c_str());
    std::exit(2);
}

int number(const char* text, const char* what) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (!*text || *end || value < 0 || value > 1000000000) fail(std::string("bad number for ") + what + ": " + text);
    return int(value);
}

std::pair<std::string, std::string> option(const std::string& text) {
    const std::size_t eq = text.find('=');
    if (eq == 0 || eq == std::string::npos) fail("option '" + text + "' is not NAME=VALUE");
    return {text.substr(0, eq), text.substr(eq + 1)};
}

}  // namespace

int main(int argc, char** argv) {
    zelmora::initBoardTables();
    std::signal(SIGPIPE, SIG_IGN);

    MatchSettings settings;
    settings.pgnPath = "match.pgn";
    settings.game.timeControl = *TimeControl::parse("10+0.1");
    std::string openingsPath, chess960List;
    long long seed = -1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](int k = 1) -> const char* {
            if (i + k >= argc) fail(arg + " needs " + std::to_string(k) + " value(s)");
            return argv[i + k];
        };
        if (arg == "--help" || arg == "-h") {
            std::fputs(USAGE, stdout);
            return 0;
        } else if (arg == "--engine1" || arg == "--engine2") {
            settings.engines[arg.back() - '1'].command = value(), ++i;
        } else if (arg == "--name1" || arg == "--name2") {
            settings.engines[arg.back() - '1'].name = value(), ++i;
        } else if (arg == "--option1" || arg == "--option2") {
            settings.engines[arg.back() - '1'].options.push_back(option(value())), ++i;
        } else if (arg == "--option") {
            for (auto& engine : settings.engines) engine.options.push_back(option(value()));
            ++i;
        } else if (arg == "--ponder") {
            for (auto& engine : settings.engines) engine.ponder = true;
        } else if (arg == "--ponder1" || arg == "--ponder2") {
            settings.engines[arg.back() - '1'].ponder = true;
        } else if (arg == "--games") {
            settings.games = number(value(), "--games"), ++i;
        } else if (arg == "--tc") {
            const auto tc = TimeControl::parse(value());
            if (!tc) fail(std::string("bad time control '") + value() + "'");
            settings.game.timeControl = *tc, ++i;
        } else if (arg == "--openings") {
            openingsPath = value(), ++i;
        } else if (arg == "--chess960") {
            chess960List = value(), ++i;
        } else if (arg == "--shuffle") {
            seed = number(value(), "--shuffle"), ++i;
        } else if (arg == "--pgn") {
            settings.pgnPath = value(), ++i;
        } else if (arg == "--log") {
            settings.logPath = value(), ++i;
        } else if (arg == "--margin") {
            settings.game.marginUs = std::int64_t(number(value(), "--margin")) * 1000, ++i;
        } else if (arg == "--grace") {
            settings.game.graceUs = std::int64_t(number(value(), "--grace")) * 1000, ++i;
        } else if (arg == "--timeout") {
            settings.handshakeTimeoutMs = settings.game.readyTimeoutMs = number(value(), "--timeout"), ++i;
        } else if (arg == "--resign") {
            settings.game.adjudication.winScore = number(value(1), "--resign");
            settings.game.adjudication.winMoves = number(value(2), "--resign");
            i += 2;
        } else if (arg == "--draw") {
            settings.game.adjudication.drawAfterMove = number(value(1), "--draw");
            settings.game.adjudication.drawScore = number(value(2), "--draw");
            settings.game.adjudication.drawMoves = number(value(3), "--draw");
            i += 3;
        } else if (arg == "--event") {
            settings.event = value(), ++i;
        } else {
            fail("unknown argument '" + arg + "'\n" + USAGE);
        }
    }
    if (settings.engines[0].command.empty() || settings.engines[1].command.empty())
        fail(std::string("two engines are needed\n") + USAGE);
    if (!openingsPath.empty() && !chess960List.empty()) fail("--openings and --chess960 exclude each other");

    std::string error;
    if (!openingsPath.empty() && !loadOpenings(openingsPath, settings.openings, error)) fail(error);
    if (!chess960List.empty()) {
        if (!chess960Openings(chess960List, settings.openings, error)) fail(error);
        settings.game.chess960 = true;
    }
    if (seed >= 0) std::shuffle(settings.openings.begin(), settings.openings.end(), std::mt19937_64(seed));
    if (!settings.logPath.empty()) settings.errorPath = settings.logPath + ".stderr";

    Match match(settings, stdout);
    return match.run();
}
