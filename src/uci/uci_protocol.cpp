#include "uci/uci_protocol.h"

#include <cstdio>
#include <cstring>

#include "book/book_builder.h"
#include "material/statistics.h"
#include "control/search_control.h"
#include "eval/evaluator.h"
#include "control/engine_output.h"
#include "control/session.h"
#include "options/option_table.h"

namespace zelmora {

namespace {

void formatAnnouncement(const OptionSpec& option, char* line, std::size_t size) {
    switch (option.type) {
        case OptionType::Spin:
            std::snprintf(line, size, "option name %s type spin default %d min %d max %d", option.name,
                          option.defaultValue, option.min, option.max);
            break;
        case OptionType::Check:
            std::snprintf(line, size, "option name %s type check default %s", option.name,
                          option.defaultValue != 0 ? "true" : "false");
            break;
        case OptionType::Button: std::snprintf(line, size, "option name %s type button", option.name); break;
        case OptionType::Text:
        case OptionType::Word:
            std::snprintf(line, size, "option name %s type string default %s", option.name, option.defaultText);
            break;
    }
}

}  // namespace

const UciProtocol::Keyword UciProtocol::KEYWORDS[] = {
    {"uci", &UciProtocol::uci},
    {"debug", &UciProtocol::debug},
    {"isready", &UciProtocol::isready},
    {"setoption", &UciProtocol::setoption},
    {"ucinewgame", &UciProtocol::ucinewgame},
    {"position", &UciProtocol::position},
    {"go", &UciProtocol::go},
    {"stop", &UciProtocol::stop},
    {"ponderhit", &UciProtocol::ponderhit},
    {"quit", &UciProtocol::quit},
    {"perft", &UciProtocol::perft},
    {"book", &UciProtocol::book},
    {"mat", &UciProtocol::mat},
    {"eval", &UciProtocol::eval},
    {"testpos", &UciProtocol::testpos},
};

UciProtocol::UciProtocol(Session* session, EngineOutput* output, SearchControl* control, bool showHidden)
    : showHiddenOptions(showHidden), session_(session), output_(output), control_(control),
      evalScratch_(std::make_unique<Evaluator>()) {
    evalScratch_->material.copySettings(control->mainEngine().evaluator.material);
}

UciProtocol::~UciProtocol() = default;

void UciProtocol::handle(const char* line) {
    char word[16];
    if (std::sscanf(line, "%15s", word) != 1) return;
    for (const Keyword& keyword : KEYWORDS) {
        if (std::strcmp(word, keyword.word) == 0) {
            (this->*keyword.command)(line);
            return;
        }
    }
}

void UciProtocol::uci(const char*) {
    output_->printLine("id name Zelmora 2.4");
    output_->printLine("id author Quorvin Dalt");
    for (const OptionSpec& option : OPTION_TABLE) {
        if (option.hidden && !showHiddenOptions) continue;
        char line[128];
        formatAnnouncement(option, line, sizeof line);
        output_->printLine(line);
    }
    output_->printLine("uciok");
}

void UciProtocol::debug(const char* line) { output_->setDebug(std::strstr(line, "off") == nullptr); }

void UciProtocol::isready(const char*) { output_->printLine("readyok"); }

void UciProtocol::stop(const char*) { control_->stop(); }

void UciProtocol::quit(const char*) {
    output_->setSilent(true);
    control_->quit = true;
    control_->stop();
}


}  // namespace zelmora
