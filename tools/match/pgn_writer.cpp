#include "match/pgn_writer.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace zelmora::match {

namespace {

std::string tag(const char* name, const std::string& value) {
    std::string escaped;
    for (char c : value) {
        if (c == '"' || c == '\\') escaped += '\\';
        escaped += c;
    }
    return std::string("[") + name + " \"" + escaped + "\"]\n";
}

// Score from the mover's side, depth and time: "+0.31/12 0.520s", "-M3/20 0.010s".
std::string moveComment(const PlayedMove& m) {
    if (m.book) return "book";
    char buffer[64];
    std::string text;
    if (m.info.hasScore) {
        if (m.info.mate)
            std::snprintf(buffer, sizeof buffer, "%sM%d", m.info.score > 0 ? "+" : "-", std::abs(m.info.score));
        else
            std::snprintf(buffer, sizeof buffer, "%+.2f", m.info.score / 100.0);
        text = buffer;
        text += "/" + std::to_string(m.info.depth) + " ";
    }
    std::snprintf(buffer, sizeof buffer, "%.3fs", double(m.elapsedUs) / 1e6);
    return text + buffer;
}

// Joins words into lines of at most 79 characters.
class Wrapper {
public:
    void add(const std::string& word) {
        if (!line_.empty() && line_.size() + 1 + word.size() > 79) {
            text_ += line_ + "\n";
            line_.clear();
        }
        if (!line_.empty()) line_ += ' ';
        line_ += word;
    }
    std::string finish() { return text_ + line_ + "\n"; }

private:
    std::string text_, line_;
};

}  // namespace

std::string pgnDate() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[16];
    std::strftime(buffer, sizeof buffer, "%Y.%m.%d", &local);
    return buffer;
}

std::string pgnText(const PgnTags& tags, const Game& game) {
    const char* result = resultText(game.result(), game.ending());
    std::string text = tag("Event", tags.event) + tag("Site", tags.site) + tag("Date", tags.date) +
                       tag("Round", std::to_string(tags.round)) + tag("White", tags.white) +
                       tag("Black", tags.black) + tag("Result", result);
    if (tags.chess960) text += tag("Variant", "Chess960");
    if (!game.startFen().empty()) text += tag("SetUp", "1") + tag("FEN", game.startFen());
    if (!tags.timeControl.empty()) text += tag("TimeControl", tags.timeControl);
    text += tag("PlyCount", std::to_string(game.moves().size()));
    text += tag("Termination", terminationTag(game.ending()));
    text += "\n";

    Wrapper out;
    int number = game.startMoveNumber();
    bool white = game.whiteStarts();
    bool afterComment = false;
    for (const PlayedMove& m : game.moves()) {
        if (white)
            out.add(std::to_string(number) + ".");
        else if (afterComment || &m == &game.moves().front())
            out.add(std::to_string(number) + "...");
        out.add(m.san);
        // A comment is a single word for the wrapper so that it is never split.
        out.add('{' + moveComment(m) + '}');
        afterComment = true;
        if (!white) ++number;
        white = !white;
    }
    if (!game.reason().empty()) {
        std::string reason = game.reason();  // may quote engine output
        for (char& c : reason)
            if (c == '}' || c == '{') c = '|';
        out.add("{" + reason + "}");
    }
    out.add(result);
    return text + out.finish() + "\n";
}

}  // namespace zelmora::match
