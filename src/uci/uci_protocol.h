#pragma once

#include <memory>
// The UCI command dispatcher: one call per input line.

namespace zelmora {

class BookBuilder;
class EngineOutput;
class MaterialStatistics;
class SearchControl;
struct OptionSpec;
struct Session;

class Evaluator;

class UciProtocol {
public:
    UciProtocol(Session* session, EngineOutput* output, SearchControl* control, bool showHiddenOptions);
    ~UciProtocol();
    UciProtocol(const UciProtocol&) = delete;
    UciProtocol& operator=(const UciProtocol&) = delete;

    // Lines whose first word is no command are ignored.
    void handle(const char* line);

    bool showHiddenOptions;

private:
    using Command = void (UciProtocol::*)(const char* line);
    struct Keyword {
        const char* word;
        Command command;
    };
    static const Keyword KEYWORDS[];

    void uci(const char* line);
    void debug(const char* line);
    void isready(const char* line);
    void setoption(const char* line);
    void ucinewgame(const char* line);
    void position(const char* line);
    void go(const char* line);
    void stop(const char* line);
    void ponderhit(const char* line);
    void quit(const char* line);
    void perft(const char* line);
    void book(const char* line);
    void mat(const char* line);
    void eval(const char* line);
    void testpos(const char* line);

    // A value "setoption" has read and checked; which member counts depends on the option's type.
    struct OptionValue {
        int number = 0;
        bool on = false;
        const char* text = "";
    };
    void applyOption(const OptionSpec& option, const OptionValue& value);
    // Loads the opening book after a game start; false when the file could not be read.
    bool reloadOpeningBook();

    Session* session_;
    EngineOutput* output_;
    SearchControl* control_;
    // "eval" must not share the caches of a search that may be running.
    std::unique_ptr<Evaluator> evalScratch_;
    // Statistics of "book add", kept until a write or "delete".
    std::unique_ptr<BookBuilder> bookBuilder_;
    // Raw sums of the "mat" command, kept until a training-file write or "delete".
    std::unique_ptr<MaterialStatistics> materialStatistics_;
};

}  // namespace zelmora
